#include "color/HexColor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "color/ColorComparison.h"

namespace umbravista {
namespace {

constexpr ThemeColor<double> kReferenceGrey = HexColor<double>("F5F5F5");
static_assert(EightBitStep(kReferenceGrey.red) == 245, "reference colours build at compile time");

// Renders a colour as "#RRGGBBAA" of its eight-bit steps, or "none" when there is no colour.
template <typename Component>
std::string EightBitText(const std::optional<ThemeColor<Component>>& color) {
  if (!color) return "none";
  std::string text(10, '\0');
  std::snprintf(text.data(), text.size(), "#%02X%02X%02X%02X", EightBitStep(color->red),
                EightBitStep(color->green), EightBitStep(color->blue), EightBitStep(color->alpha));
  text.pop_back();
  return text;
}

template <typename Component>
ThemeColor<Component> Grey(Component level) {
  return {level, level, level, 1};
}

struct ScanCase {
  std::string_view text;
  std::optional<std::uint32_t> expectedNumber;
};

void ExpectScans(const std::vector<ScanCase>& cases) {
  for (const auto& [text, expectedNumber] : cases) {
    SCOPED_TRACE(testing::Message() << "text \"" << text << "\"");
    EXPECT_EQ(ScanHexNumber(text), expectedNumber);
  }
}

TEST(ScanHexNumberTest, SkipsLeadingSymbolsButNotSpaceOrPunctuation) {
  ExpectScans({{"$F5", 0xF5},
               {"+^~|<=>`F5", 0xF5},
               {"\u20AC\u00A9F5", 0xF5},
               {"\U0001F600F5", 0xF5},
               {" F5", std::nullopt},
               {"\tF5", std::nullopt},
               {"-F5", std::nullopt},
               {"\377F5", std::nullopt}});
}

TEST(ScanHexNumberTest, TakesZeroXAsAPrefixOnlyBeforeADigit) {
  ExpectScans({{"0x1f", 0x1F},
               {"0X1F", 0x1F},
               {"$0x1F", 0x1F},
               {"0x5", 0x5},
               {"0xZ", 0},
               {"0x", 0},
               {"x1F", std::nullopt}});
}

TEST(ScanHexNumberTest, ReadsDigitsUntilTheFirstOtherCharacter) {
  ExpectScans({{"aBcDeF", 0xABCDEF},
               {"12GG", 0x12},
               {"F5 F5", 0xF5},
               {"GG", std::nullopt},
               {"", std::nullopt}});
}

TEST(ScanHexNumberTest, SaturatesNumbersTooLargeForThirtyTwoBits) {
  ExpectScans({{"FFFFFFFF", 0xFFFFFFFF},
               {"FFFFFFF0", 0xFFFFFFF0},
               {"100000000", 0xFFFFFFFF},
               {"FFFFFFFFFFFF", 0xFFFFFFFF},
               {"0000000000F5", 0xF5}});
}

struct HexTextCase {
  std::string_view text;
  std::string_view expectedColor;
};

template <typename Component>
class HexColorTest : public testing::Test {
 protected:
  static void ExpectColors(const std::vector<HexTextCase>& cases) {
    for (const auto& [text, expectedColor] : cases) {
      SCOPED_TRACE(testing::Message() << "text \"" << text << "\"");
      EXPECT_EQ(EightBitText(ColorFromHexText<Component>(text)), expectedColor);
    }
  }
};

using ComponentWidths = testing::Types<double, float>;
TYPED_TEST_SUITE(HexColorTest, ComponentWidths);

TYPED_TEST(HexColorTest, ReadsSixDigitsWithOrWithoutHashMarks) {
  TestFixture::ExpectColors({{"0EADFF", "#0EADFFFF"},
                             {"0eadff", "#0EADFFFF"},
                             {"#0EADFF", "#0EADFFFF"},
                             {"#0E#AD#FF", "#0EADFFFF"},
                             {"0x0EADFF", "#0EADFFFF"},
                             {"$F5F5F5", "#F5F5F5FF"}});
}

TYPED_TEST(HexColorTest, TakesTheLowTwentyFourBitsOfShortOrLongNumbers) {
  TestFixture::ExpectColors({{"FFF", "#000FFFFF"},
                             {"12GG", "#000012FF"},
                             {"FFF5F5F5", "#F5F5F5FF"},
                             {"FFFFFFFFF", "#FFFFFFFF"}});
}

TYPED_TEST(HexColorTest, AnswersNoColourWithoutANumber) {
  TestFixture::ExpectColors({{" F5F5F5", "none"}, {"GG", "none"}, {"", "none"}, {"#", "none"}});
}

TYPED_TEST(HexColorTest, KeepsEveryByteOnItsOwnEightBitStep) {
  for (std::uint32_t byte = 0; byte <= 0xFF; ++byte) {
    SCOPED_TRACE(testing::Message() << "byte " << byte);
    EXPECT_EQ(EightBitStep(ColorFromHexValue<TypeParam>(byte << 16U).red), byte);
  }
}

TYPED_TEST(HexColorTest, MatchesReferenceGreysByEightBitStep) {
  using Component = TypeParam;
  const Component twoFortyFiveSteps = Component{245} / Component{255};
  EXPECT_TRUE(IsSameColor(HexColor<Component>("F5F5F5"), Grey(twoFortyFiveSteps)));
  EXPECT_TRUE(IsSameColor(HexColor<Component>("F7F7F7"), Grey(static_cast<Component>(0.97))));
  EXPECT_TRUE(IsSameColor(HexColor<Component>("7F7F7F"), Grey(static_cast<Component>(0.5))));
  EXPECT_FALSE(IsSameColor(HexColor<Component>("808080"), Grey(static_cast<Component>(0.5))));
  const ThemeColor<Component> bluerGrey{twoFortyFiveSteps, twoFortyFiveSteps,
                                        static_cast<Component>(0.97), 1};
  EXPECT_FALSE(IsSameColor(HexColor<Component>("F5F5F5"), bluerGrey));
}

TEST(HexColorWidthTest, DoubleBuildKeepsTheFloatQuotientOfEachByte) {
  EXPECT_EQ(HexColor<double>("F5F5F5").red, 0.96078431606292725);
  EXPECT_NE(HexColor<double>("F5F5F5").red, 245.0 / 255.0);
}

TEST(HexColorWidthTest, DecimalJustBelowTwoFortyFiveStepMatchesOnlyInFloat) {
  // 0.9607843 * 255 is 244.9999965 in double, but 0.9607843f is the float nearest 245/255.
  EXPECT_FALSE(IsSameColor(HexColor<double>("F5F5F5"), Grey(0.9607843)));
  EXPECT_TRUE(IsSameColor(HexColor<float>("F5F5F5"), Grey(0.9607843F)));
}

}  // namespace
}  // namespace umbravista
