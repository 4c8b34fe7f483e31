// initWithHex: and isSameColor: as the library adds them to the runtime's UIColor; what
// initWithHex: makes of each text is in HexColorTest, and that they are the only methods added, in
// CategoryTest.
#include "tests/host/HostTest.h"

namespace {

class CompareAndHexTest : public HostTest {
 protected:
  bool Same(id a, id b) { return Send<bool>(a, "isSameColor:", b); }
};

TEST_F(CompareAndHexTest, InitWithHexOfNonStringsHoldsNoNumber) {
  id colourClass = reinterpret_cast<id>(objc_getClass("UIColor"));
  EXPECT_EQ(Send<id>(Send<id>(colourClass, "alloc"), "initWithHex:", nullptr), nullptr);
  id number = Keep(device::NewIntegerNumber(0xFFFFFF));
  EXPECT_EQ(Send<id>(Send<id>(colourClass, "alloc"), "initWithHex:", number), nullptr);
}

TEST_F(CompareAndHexTest, IsSameColorComparesTruncatedStepsAcrossColourSpaces) {
  id white = Keep(device::NewGreyColor(1.0, 1.0));
  id rgbWhite = Keep(device::NewRGBColor(1.0, 1.0, 1.0, 1.0));
  id halfWhite = Keep(device::NewGreyColor(1.0, 0.5));
  id black = Keep(device::NewGreyColor(0.0, 1.0));
  id clear = Keep(device::NewGreyColor(0.0, 0.0));
  id pattern = Keep(device::NewPatternColor());
  EXPECT_TRUE(Same(white, rgbWhite));
  EXPECT_TRUE(Same(Keep(device::NewRGBColor(0.97, 0.97, 0.97, 1.0)), Keep(NewHexColour("F7F7F7"))));
  EXPECT_FALSE(Same(white, halfWhite));
  EXPECT_FALSE(Same(black, clear));
  EXPECT_FALSE(Same(pattern, pattern));
  EXPECT_FALSE(Same(white, nullptr));
  EXPECT_FALSE(Same(nullptr, white));
  // The one answer that CGFloat's width decides: 0.9607843 times 255 truncates to 244 in double,
  // but as a float it is 245/255 itself.
  const bool floatBuild = sizeof(CGFloat) == sizeof(float);
  EXPECT_EQ(Same(Keep(device::NewRGBColor(0.9607843, 0.9607843, 0.9607843, 1.0)),
                 Keep(NewHexColour("F5F5F5"))),
            floatBuild);
}

}  // namespace
