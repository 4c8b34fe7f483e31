#pragma once

#include <objc/runtime.h>

#include <optional>

#include "color/ThemeColor.h"
#include "platform/CoreGraphics.h"

// UIKit's colours as the library reads and makes them.
namespace umbravista::platform {

// A colour in the platform's component width.
using Colour = ThemeColor<CGFloat>;

// The RGBA form of `colour`, as getRed:green:blue:alpha: reports it (a grey colour answers its
// white level for red, green and blue). nullopt for nil and for a colour that has no RGBA form,
// such as a pattern colour.
std::optional<Colour> ColourComponents(id colour);

// The RGBA form of a CGColor, read through UIColor colorWithCGColor:; nullopt for NULL and for a
// colour that has no RGBA form.
std::optional<Colour> CGColourComponents(CGColorRef colour);

// [UIColor colorWithRed:green:blue:alpha:] with exactly `colour`'s components; autoreleased, as
// a convenience constructor's answer is.
id ColourWithComponents(const Colour& colour);

// UIKit's named colours, whiteColor, blackColor and clearColor, as UIKit answers them.
id WhiteColour();
id BlackColour();
id ClearColour();

// [[UIColor alloc] initWithHex:text]: a new colour owned by the caller, or nil when the text holds
// no hexadecimal number.
id NewColourWithHex(const char* text);

}  // namespace umbravista::platform
