#pragma once

#include <objc/runtime.h>

#include <optional>
#include <string>

#include "CoreGraphics/CoreGraphics.h"
#include "device/CoreGraphics/CoreGraphicsDevice.h"

// The simulated device's UIKit and QuartzCore stand-ins: registration, and C++ conveniences that
// the simulated host and the tests use to build and read views and colours.
namespace device {

// Registers UIColor, UIView and the UIView subclasses UIControl (which inherits layoutSubviews)
// and UIScrollView (which defines its own and calls super's). Foundation and QuartzCore must be
// registered first.
void RegisterUIKit();

struct RGBA {
  double red;
  double green;
  double blue;
  double alpha;
};

// New colours (retain count 1, owned by the caller): one in the RGB space, one in the grey space,
// and a pattern colour, which has no RGBA form.
id NewRGBColor(double red, double green, double blue, double alpha);
id NewGreyColor(double white, double alpha);
id NewPatternColor();

// The RGBA form of a colour, as getRed:green:blue:alpha: reports it; nullopt for nil or a pattern.
std::optional<RGBA> ColorComponents(id color);
// "#RRGGBBAA" with each component times 255 truncated; "nil" or "pattern" otherwise.
std::string ColorText(id color);

// A new view of the class named `className` (UIView or a subclass), initialised with `frame`,
// owned by the caller.
id NewView(const char* className, CGRect frame = {{0, 0}, {100, 100}});

// Runs one layout pass over `view` and its subviews, parents first, as UIKit's layout does.
void LayoutTree(id view);

}  // namespace device
