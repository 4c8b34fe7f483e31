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

}  // namespace umbravista::platform
