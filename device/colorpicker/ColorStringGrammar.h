#pragma once

#include <optional>
#include <string_view>

// The colour-string grammar of the stand-in libcolorpicker, as pure logic. See libcolorpicker.h
// for the forms. Answers the colour's components (bytes divided by 255, alpha as written and
// clamped to 0.0 to 1.0), or nullopt for any text that is not one of the forms. Never reads past
// the text, whatever it holds.
namespace device {

struct ColorStringComponents {
  double red;
  double green;
  double blue;
  double alpha;
};

std::optional<ColorStringComponents> ParseColorString(std::string_view text);

}  // namespace device
