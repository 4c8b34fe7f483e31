#include "platform/UIKit.h"

#include "platform/Foundation.h"
#include "platform/ObjectiveC.h"

namespace umbravista::platform {

std::optional<Colour> ColourComponents(id colour) {
  Colour components{};
  if (!Send<BOOL>(colour, "getRed:green:blue:alpha:", &components.red, &components.green,
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

id ColourWithComponents(const Colour& colour) {
  return Send<id>(ClassObject("UIColor"), "colorWithRed:green:blue:alpha:", colour.red,
                  colour.green, colour.blue, colour.alpha);
}

id WhiteColour() {
  return Send<id>(ClassObject("UIColor"), "whiteColor");
}

id BlackColour() {
  return Send<id>(ClassObject("UIColor"), "blackColor");
}

id ClearColour() {
  return Send<id>(ClassObject("UIColor"), "clearColor");
}

id NewColourWithHex(const char* text) {
  id string = NewString(text);
  id colour = Send<id>(Send<id>(ClassObject("UIColor"), "alloc"), "initWithHex:", string);
  Release(string);
  return colour;
}

}  // namespace umbravista::platform
