#include "color/HexColor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "color/ColorComparison.h"
#include "color/CompareAndHex.h"
#include "device/Foundation/Foundation.h"
#include "device/QuartzCore/QuartzCoreDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"
#include "platform/Foundation.h"
#include "platform/UIKit.h"

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

// initWithHex: as the library adds it, through the simulated device's Foundation, whose NSScanner
// reads the number: each text against the colour it gives, or "none".
class InitWithHexTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    device::StartRuntime();
    device::RegisterFoundation();
    device::RegisterQuartzCore();
    device::RegisterUIKit();
    AttachCompareAndHex();
  }

  static void ExpectColors(
      const std::vector<std::pair<std::string_view, std::string_view>>& cases) {
    for (const auto& [text, expectedColor] : cases) {
      SCOPED_TRACE(testing::Message() << "text \"" << text << "\"");
      const long live = device::LiveObjects();
      {
        device::AutoreleasePool pool;
        id colour = platform::NewColourWithHex(std::string(text).c_str());
        EXPECT_EQ(EightBitText(platform::ColourComponents(colour)), expectedColor);
        platform::Release(colour);
      }
      EXPECT_EQ(device::LiveObjects(), live) << "the scan leaves nothing behind";
    }
  }
};

TEST_F(InitWithHexTest, ReadsTheLowTwentyFourBitsOfTheHexNumberAfterLeadingSymbols) {
  ExpectColors({// Symbols are skipped, but not space or punctuation.
                {"$F5", "#0000F5FF"},
                {"+^~|<=>`F5", "#0000F5FF"},
                {"\u20AC\u00A9F5", "#0000F5FF"},
                {"\U0001F600F5", "#0000F5FF"},
                {"$#F5", "#0000F5FF"},
                {" F5", "none"},
                {"\tF5", "none"},
                {"-F5", "none"},
                {"\377F5", "none"},
                // 0x is a prefix only before a digit.
                {"0x1f", "#00001FFF"},
                {"0X1F", "#00001FFF"},
                {"$0x1F", "#00001FFF"},
                {"0#x#1F", "#00001FFF"},
                {"0x5", "#000005FF"},
                {"0xZ", "#000000FF"},
                {"0x", "#000000FF"},
                {"x1F", "none"},
                // Digits of either case, until the first other character.
                {"0EADFF", "#0EADFFFF"},
                {"0eadff", "#0EADFFFF"},
                {"#0E#AD#FF", "#0EADFFFF"},
                {"0x0EADFF", "#0EADFFFF"},
                {"aBcDeF", "#ABCDEFFF"},
                {"12GG", "#000012FF"},
                {"F5 F5", "#0000F5FF"},
                {" F5F5F5", "none"},
                {"GG", "none"},
                {"", "none"},
                {"#", "none"},
                // The low 24 bits; past 32 bits the number saturates.
                {"FFF", "#000FFFFF"},
                {"FFF5F5F5", "#F5F5F5FF"},
                {"FFFFFFF0", "#FFFFF0FF"},
                {"100000000", "#FFFFFFFF"},
                {"FFFFFFFFFFFF", "#FFFFFFFF"},
                {"0000000000F5", "#0000F5FF"}});
}

TEST_F(InitWithHexTest, AsksFoundationToScanWithSymbolsSkipped) {
  device::AutoreleasePool pool;
  device::ClearTrace();
  platform::Release(platform::NewColourWithHex("#0EADFF"));
  std::vector<std::string> foundation;
  for (const device::TraceCall& call : device::TraceCalls()) {
    if (call.receiverClass.starts_with("NS")) foundation.push_back(call.Describe());
  }
  EXPECT_EQ(foundation,
            (std::vector<std::string>{
                "NSString stringByReplacingOccurrencesOfString:withString: \"#\" \"\"",
                "NSScanner scannerWithString: \"0EADFF\"", "NSCharacterSet symbolCharacterSet",
                "NSScanner setCharactersToBeSkipped: NSCharacterSet", "NSScanner scanHexInt:"}));
}

template <typename Component>
class HexColorTest : public testing::Test {};

using ComponentWidths = testing::Types<double, float>;
TYPED_TEST_SUITE(HexColorTest, ComponentWidths);

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

// The double build keeps the float quotient of each byte, so a decimal just below 245 steps
// matches F5 only in float: 0.9607843 * 255 is 244.9999965 in double, but 0.9607843f is the
// float nearest 245/255.
TEST(HexColorWidthTest, DoubleBuildKeepsTheFloatQuotientOfEachByte) {
  EXPECT_EQ(HexColor<double>("F5F5F5").red, 0.96078431606292725);
  EXPECT_NE(HexColor<double>("F5F5F5").red, 245.0 / 255.0);
  EXPECT_FALSE(IsSameColor(HexColor<double>("F5F5F5"), Grey(0.9607843)));
  EXPECT_TRUE(IsSameColor(HexColor<float>("F5F5F5"), Grey(0.9607843F)));
}

}  // namespace
}  // namespace umbravista
