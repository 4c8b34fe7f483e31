// Icon tinting on real pixels: React Native images become white silhouettes, the button bar's
// tagged buttons white template icons.
#include <cstdint>

#include "device/UIKit/ChromeDevice.h"
#include "device/UIKit/GraphicsDevice.h"
#include "tests/host/HostTest.h"

namespace {

constexpr std::uint32_t kClear = 0x00000000;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

class IconsTest : public HostTest {
 protected:
  // Hands `image` to a React Native image view and answers what reached its saved setImage:.
  id SetOnImageView(id image) {
    id imageView = MakeView("RCTImageView");
    device::ClearTrace();
    Send(imageView, "setImage:", image);
    return device::StoredImage(imageView);
  }

  // A 12 by 12 pixel "L" in the top-left corner: its upright bar red, its foot black; the rest
  // transparent (with a colour in it, which must not show through).
  static std::vector<std::uint32_t> AsymmetricShape() {
    std::vector<std::uint32_t> pixels(12 * 12, 0x00FF00FF);
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 3; ++x) pixels[y * 12 + x] = kRed;
    }
    for (int y = 8; y < 10; ++y) {
      for (int x = 0; x < 7; ++x) pixels[y * 12 + x] = kBlack;
    }
    return pixels;
  }

  static std::vector<std::uint32_t> WhiteWhereOpaque(const std::vector<std::uint32_t>& source) {
    std::vector<std::uint32_t> expected;
    for (std::uint32_t pixel : source) expected.push_back((pixel >> 24) == 0xFF ? kWhite : kClear);
    return expected;
  }
};

TEST_F(IconsTest, ASmallImageBecomesAnUprightWhiteSilhouetteOfItsShape) {
  const std::vector<std::uint32_t> shape = AsymmetricShape();
  id image = Keep(device::NewImageFromPixels(12, 12, 1.0, shape));
  id silhouette = SetOnImageView(image);
  ASSERT_NE(silhouette, nullptr);
  ASSERT_NE(silhouette, image);
  EXPECT_EQ(device::ImagePixelWidth(silhouette), 12u);
  EXPECT_EQ(device::ImagePixelHeight(silhouette), 12u);
  EXPECT_EQ(device::ImagePixels(silhouette), WhiteWhereOpaque(shape));
}

TEST_F(IconsTest, TheSilhouetteHasTheSourcesSizeInPointsAtScaleOne) {
  id image = Keep(device::NewSolidImage(48, 48, 2.0, kRed));
  id silhouette = SetOnImageView(image);
  EXPECT_EQ(Send<double>(silhouette, "scale"), 1.0);
  EXPECT_EQ(Send<CGSize>(silhouette, "size").width, 24.0);
  EXPECT_EQ(device::ImagePixelWidth(silhouette), 24u);
  EXPECT_EQ(device::ImagePixels(silhouette), std::vector<std::uint32_t>(24 * 24, kWhite));
}

TEST_F(IconsTest, OnlyImagesNarrowerThanAHundredPointsAreRecoloured) {
  struct Case {
    unsigned long widthPixels, heightPixels;
    double scale;
    bool recoloured;
  };
  const Case cases[] = {
      {199, 10, 2.0, true},   // 99.5 points
      {100, 10, 1.0, false},  // exactly 100 points
      {300, 10, 1.0, false},
      {50, 400, 1.0, true},  // tall and narrow: only the width counts
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.widthPixels / c.scale) + " points wide");
    id image = Keep(device::NewSolidImage(c.widthPixels, c.heightPixels, c.scale, kBlack));
    id reached = SetOnImageView(image);
    EXPECT_EQ(reached != image, c.recoloured);
    EXPECT_EQ(device::CountCalls("UIGraphicsBeginImageContext"), c.recoloured ? 1u : 0u);
  }
}

TEST_F(IconsTest, ThemeOffHandsEveryImageOnUnchanged) {
  WriteSettings({{"enabled", false}});
  id image = Keep(device::NewSolidImage(10, 10, 1.0, kRed));
  EXPECT_EQ(SetOnImageView(image), image);
  EXPECT_EQ(device::CountCalls("UIGraphicsBeginImageContext"), 0u);
}

TEST_F(IconsTest, NoImageHandsNilOnWithoutDrawing) {
  EXPECT_EQ(SetOnImageView(nullptr), nullptr);
  EXPECT_EQ(device::CountCalls("setImage:"), 2u) << "RCTImageView's setImage: and its super's";
  EXPECT_EQ(device::CountCalls("UIGraphicsBeginImageContext"), 0u);
  EXPECT_EQ(device::ImageContextDepth(), 0u);
}

TEST_F(IconsTest, DrawsInTheOrderThatLinesTheMaskUpWithTheImage) {
  id image = Keep(device::NewSolidImage(10, 20, 1.0, kRed));
  SetOnImageView(image);
  std::vector<std::string> drawing;
  for (const device::TraceCall& call : device::TraceCalls()) {
    if (call.selector.starts_with("CGContext") || call.selector.starts_with("UIGraphics") ||
        call.selector == "drawInRect:") {
      drawing.push_back(call.Describe());
    }
  }
  EXPECT_EQ(drawing, (std::vector<std::string>{
                         "UIGraphicsBeginImageContext {10,20}",
                         "UIGraphicsGetCurrentContext",
                         "CGContextSetBlendMode CGContext 17",
                         "UIImage drawInRect: {0,0,10,20}",
                         "UIGraphicsGetCurrentContext",
                         "CGContextTranslateCTM CGContext 0 20",
                         "UIGraphicsGetCurrentContext",
                         "CGContextScaleCTM CGContext 1 -1",
                         "UIGraphicsGetCurrentContext",
                         "CGContextClipToMask CGContext {0,0,10,20} CGImage 10x20",
                         "UIGraphicsGetCurrentContext",
                         "CGContextSetFillColorWithColor CGContext #FFFFFFFF",
                         "UIGraphicsGetCurrentContext",
                         "CGContextFillRect CGContext {0,0,10,20}",
                         "UIGraphicsGetImageFromCurrentImageContext",
                         "UIGraphicsEndImageContext",
                     }));
}

class ButtonBarTest : public HostTest {
 protected:
  id Bar(const std::vector<device::BarButton>& buttons) {
    return Keep(device::NewButtonBar(buttons));
  }

  id ButtonAt(id bar, unsigned long index) {
    device::PausedTrace quiet;
    return device::ArrayObjects(Send<id>(bar, "subviews")).at(index);
  }

  // Whether the button shows a template image for its normal state and a white tint.
  bool TurnedWhite(id button) {
    device::PausedTrace quiet;
    return Send<long>(device::ButtonImageOf(button), "renderingMode") == 2 &&
           device::ColorText(Send<id>(button, "tintColor")) == "#FFFFFFFF";
  }
};

TEST_F(ButtonBarTest, TheFourTaggedButtonsTurnWhiteInTagOrderWhateverTheSettings) {
  for (bool themeOn : {true, false}) {
    SCOPED_TRACE(themeOn ? "theme on" : "theme off");
    if (!themeOn) WriteSettings({{"enabled", false}});
    id icon = Keep(device::NewSolidImage(24, 24, 1.0, kBlack));
    id bar = Bar({{91823, icon}, {42342, icon}, {847123, icon}, {124980, icon}, {7, icon}});
    device::ClearTrace();
    Send(bar, "layoutSubviews");
    std::vector<long> order;
    for (const device::TraceCall& call : device::CallsOf("setImage:forState:")) {
      for (unsigned long i = 0; i < 5; ++i) {
        if (call.receiver == ButtonAt(bar, i)) order.push_back(static_cast<long>(i));
      }
    }
    EXPECT_EQ(order, (std::vector<long>{3, 2, 1, 0})) << "passes go 124980, 847123, 42342, 91823";
    for (unsigned long i = 0; i < 4; ++i) EXPECT_TRUE(TurnedWhite(ButtonAt(bar, i))) << i;
    EXPECT_FALSE(TurnedWhite(ButtonAt(bar, 4)));
    EXPECT_EQ(device::CountCalls("subviews", bar), 4u) << "each pass fetches the subviews anew";
  }
}

TEST_F(ButtonBarTest, EveryButtonOfATagIsTreatedAndNeighbouringTagsAreNot) {
  id icon = Keep(device::NewSolidImage(24, 24, 1.0, kBlack));
  id bar = Bar({{42342, icon}, {42342, icon}, {42341, icon}, {42343, icon}, {124981, icon}});
  Send(bar, "layoutSubviews");
  EXPECT_TRUE(TurnedWhite(ButtonAt(bar, 0)));
  EXPECT_TRUE(TurnedWhite(ButtonAt(bar, 1)));
  for (unsigned long i = 2; i < 5; ++i) EXPECT_FALSE(TurnedWhite(ButtonAt(bar, i))) << i;
}

TEST_F(ButtonBarTest, ATaggedSubviewThatIsNoButtonIsSkipped) {
  id bar = Bar({});
  id plain = MakeView("UIView");
  {
    device::PausedTrace quiet;
    Send(plain, "setTag:", 124980L);
    Send(bar, "addSubview:", plain);
  }
  EXPECT_NO_THROW(Send(bar, "layoutSubviews"));
  EXPECT_EQ(device::CountCalls("setTintColor:", plain), 0u);
}

TEST_F(ButtonBarTest, AButtonWithoutAnImageGetsNoneForItsNormalState) {
  id bar = Bar({{124980, nullptr}});
  Send(bar, "layoutSubviews");
  EXPECT_EQ(device::ButtonImageOf(ButtonAt(bar, 0)), nullptr);
}

}  // namespace
