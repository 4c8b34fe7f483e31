#pragma once

#include <objc/runtime.h>

// The attributed text storage of UIKit and React Native text, as the library changes it.
namespace umbravista::platform {

// Sets the attribute `name` to `value` over the range from location 0 for `length` characters,
// with addAttribute:value:range:. Nothing for a nil storage.
void AddAttributeFromStart(id textStorage, id name, id value, unsigned long length);

// UIKit's attribute names for the text colour and the background colour of text.
id ForegroundColourAttributeName();
id BackgroundColourAttributeName();

}  // namespace umbravista::platform
