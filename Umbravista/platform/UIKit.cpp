#include "platform/UIKit.h"

#include "platform/Foundation.h"
#include "platform/ObjectiveC.h"

namespace umbravista::platform {

std::optional<Colour> ColourComponents(id colour) {
  Colour components{};
  if (!Send<BOOL>(colour, "getRed:green:blue:alpha:"_sel, &components.red, &components.green,
                  &components.blue, &components.alpha)) {
    return std::nullopt;
  }
  return components;
}

std::optional<Colour> CGColourComponents(CGColorRef colour) {
  // Wrapping NULL is not something UIKit promises to survive; there is nothing to compare anyway.
  if (colour == nullptr) return std::nullopt;
  return ColourComponents(Send<id>("UIColor"_class, "colorWithCGColor:"_sel, colour));
}

id ColourWithComponents(const Colour& colour) {
  return Send<id>("UIColor"_class, "colorWithRed:green:blue:alpha:"_sel, colour.red, colour.green,
                  colour.blue, colour.alpha);
}

id WhiteColour() {
  return Send<id>("UIColor"_class, "whiteColor"_sel);
}

id BlackColour() {
  return Send<id>("UIColor"_class, "blackColor"_sel);
}

id ClearColour() {
  return Send<id>("UIColor"_class, "clearColor"_sel);
}

id NewColourWithHex(const char* text) {
  id string = NewString(text);
  id colour = Send<id>(Send<id>("UIColor"_class, "alloc"), "initWithHex:"_sel, string);
  Release(string);
  return colour;
}

}  // namespace umbravista::platform
