#include "platform/UIKit.h"

#include "platform/ObjectiveC.h"

namespace umbravista::platform {

std::optional<Colour> ColourComponents(id colour) {
  Colour components{};
  if (!Send<bool>(colour, "getRed:green:blue:alpha:", &components.red, &components.green,
                  &components.blue, &components.alpha)) {
    return std::nullopt;
  }
  return components;
}

std::optional<Colour> CGColourComponents(CGColorRef colour) {
  // Wrapping NULL is not something UIKit promises to survive; there is nothing to compare anyway.
  if (colour == nullptr) return std::nullopt;
  return ColourComponents(Send<id>(ClassObject("UIColor"), "colorWithCGColor:", colour));
}

}  // namespace umbravista::platform
