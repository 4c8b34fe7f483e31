#pragma once

#include <objc/runtime.h>

// The simulated device's UIKit interface: the symbols of UIKit that the library reads directly
// rather than through messages, with the platform's names.

extern "C" {

// The names under which an attributed string holds its text colour and its background colour, as
// strings with the platform's values ("NSColor" and "NSBackgroundColor"). On the device they are
// constant strings; here UIKit sets them when it registers its classes, and they are nil before.
// Nobody owns them and they are never freed.
extern id NSForegroundColorAttributeName;
extern id NSBackgroundColorAttributeName;

}  // extern "C"
