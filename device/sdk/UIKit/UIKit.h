#pragma once

#include <objc/runtime.h>

#include "CoreGraphics/CoreGraphics.h"

// The simulated device's UIKit interface: the symbols of UIKit that the library reads directly
// rather than through messages, with the platform's names.

extern "C" {

// The names under which an attributed string holds its text colour and its background colour, as
// strings with the platform's values ("NSColor" and "NSBackgroundColor"). On the device they are
// constant strings; here UIKit sets them when it registers its classes, and they are nil before.
// Nobody owns them and they are never freed.
extern id NSForegroundColorAttributeName;
extern id NSBackgroundColorAttributeName;

// Image contexts, as UIKit offers them.
//
// UIGraphicsBeginImageContext makes a bitmap context of `size` points at scale 1.0 (one pixel per
// point), not opaque and fully transparent, and makes it the current context, with the origin at
// the top left and y growing downwards, as UIKit draws. A fractional size is rounded up to whole
// pixels, so any size above zero each way has at least one pixel each way. A size that is zero,
// negative, endless or not a number in width or height makes no context, and the current context
// is then NULL until the matching end.
// UIGraphicsGetCurrentContext answers the current context, or NULL.
// UIGraphicsGetImageFromCurrentImageContext answers an autoreleased UIImage of the context's
// pixels at scale 1.0, or nil when there is no current image context.
// UIGraphicsEndImageContext removes the current context, making the one before it current again.
void UIGraphicsBeginImageContext(CGSize size);
CGContextRef UIGraphicsGetCurrentContext(void);
id UIGraphicsGetImageFromCurrentImageContext(void);
void UIGraphicsEndImageContext(void);

}  // extern "C"
