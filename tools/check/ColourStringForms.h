#pragma once

#include <string>
#include <string_view>

#include "tools/check/Contrast.h"

// What the checker says about the form of a colour string, beside whether the grammar of
// device/colorpicker/ColorStringGrammar.h reads it.
namespace umbravista::check {

// Answers, in a few words, why text is none of the grammar's forms: "it is empty", "bad digit
// 'G'", how many digits it has when that count is no form's, or that its alpha is not a plain
// decimal. text must be a string that ParseColorString rejects.
[[nodiscard]] std::string WhyNamesNoColour(std::string_view text);

// Answers whether text is in a form that every colour-picker library on a device reads alike:
// "#" and six hexadecimal digits, optionally followed by ":" and an alpha of two or more
// characters ("0.50", ".5"), and read by the grammar. Forms the grammar reads but others may not
// (no "#", three digits, eight digits, an alpha of one character such as ":1") answer false.
[[nodiscard]] bool IsPortableColourForm(std::string_view text);

// Answers colour written in the portable form: "#RRGGBB" in upper case when it is opaque, else
// "#RRGGBB:" and the alpha to two decimals ("#FF0000:0.50").
[[nodiscard]] std::string PortableSpelling(const Colour& colour);

}  // namespace umbravista::check
