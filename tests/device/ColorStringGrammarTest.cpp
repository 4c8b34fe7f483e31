#include "device/colorpicker/ColorStringGrammar.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace device {
namespace {

// "#RRGGBBAA" of the components times 255, truncated, or "rejected".
std::string Text(std::string_view input) {
  std::optional<ColorStringComponents> c = ParseColorString(input);
  if (!c) return "rejected";
  auto step = [](double component) { return static_cast<unsigned>(component * 255); };
  char text[10];
  std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", step(c->red), step(c->green), step(c->blue),
                step(c->alpha));
  return text;
}

struct Case {
  std::string_view input;
  std::string_view expected;
};

void ExpectParses(const std::vector<Case>& cases) {
  for (const auto& [input, expected] : cases) {
    SCOPED_TRACE(testing::Message() << "input \"" << input << "\"");
    EXPECT_EQ(Text(input), expected);
  }
}

TEST(ColorStringGrammarTest, ReadsSixOrThreeDigitsOfEitherCaseWithOrWithoutTheHash) {
  ExpectParses({{"FF8000", "#FF8000FF"},
                {"#ff8000", "#FF8000FF"},
                {"#aBcDeF", "#ABCDEFFF"},
                {"000000", "#000000FF"},
                {"F0A", "#FF00AAFF"},
                {"#f0a", "#FF00AAFF"},
                {"123", "#112233FF"}});
}

TEST(ColorStringGrammarTest, TakesADecimalAlphaAfterAColonClampedToOne) {
  ExpectParses({{"#FF0000:0.5", "#FF00007F"},
                {"FF0000:1", "#FF0000FF"},
                {"FF0000:.25", "#FF00003F"},
                {"FF0000:1.7", "#FF0000FF"},
                {"FF0000:0", "#FF000000"},
                {"F00:0.5", "#FF00007F"}});
}

TEST(ColorStringGrammarTest, ReadsEightDigitsAsColourAndAlpha) {
  ExpectParses({{"FF000080", "#FF000080"}, {"#12345600", "#12345600"}, {"abcdefff", "#ABCDEFFF"}});
}

TEST(ColorStringGrammarTest, RejectsEveryOtherForm) {
  ExpectParses({{"", "rejected"},
                {"#", "rejected"},
                {"##FF0000", "rejected"},
                {"12345", "rejected"},
                {"1234567", "rejected"},
                {"123456789", "rejected"},
                {"GGGGGG", "rejected"},
                {"0xFF00", "rejected"},
                {"#FF0000:", "rejected"},
                {"#FF0000:abc", "rejected"},
                {"FF0000:-1", "rejected"},
                {"FF0000:1e0", "rejected"},
                {"FF0000:0.5:0.5", "rejected"},
                {"FF000080:0.5", "rejected"},
                {":0.5", "rejected"},
                {" FF0000", "rejected"},
                {"FF0000 ", "rejected"},
                {"FF0000: 0.5", "rejected"}});
}

}  // namespace
}  // namespace device
