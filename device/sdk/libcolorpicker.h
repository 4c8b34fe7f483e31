#pragma once

#include <objc/runtime.h>

// libcolorpicker's interface: colour strings as settings store them.
//
// Grammar, digits of either case, the leading "#" optional:
//   RRGGBB           six hexadecimal digits, opaque
//   RGB              three digits, each doubled (F0A is FF00AA), opaque
//   RRGGBB:alpha     either of the above, then ":" and a decimal alpha ("0.5", "1", ".25"),
//   RGB:alpha        clamped to 0.0 to 1.0
//   RRGGBBAA         eight digits, the last two the alpha
// Components are the digits' byte values divided by 255.
extern "C" {

// Answers the colour that `value` names. nil, a value that is not a string, an empty string, a
// string of any other form or with a bad digit give the colour that `fallback` names instead; a
// fallback that names no colour either gives nil. Never raises and never aborts, whatever it is
// given. The answer is autoreleased, as a convenience constructor's is.
id LCPParseColorString(id value, id fallback);

}  // extern "C"
