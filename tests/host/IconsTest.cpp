// Icon tinting on real pixels: React Native images become white silhouettes, the button bar's
// tagged buttons white template icons.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "device/UIKit/ChromeDevice.h"
#include "device/UIKit/GraphicsDevice.h"
#include "tests/host/HostTest.h"

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlack = 0xFF000000;

// Pixels as "AARRGGBB", one row to a line, so that a failure shows the picture.
std::string Picture(const std::vector<std::uint32_t>& pixels, unsigned long width) {
  std::string text;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    char pixel[10];
    std::snprintf(pixel, sizeof pixel, "%08X", pixels[i]);
    text += pixel;
    text += (i + 1) % width == 0 ? "\n" : " ";
  }
  return text;
}

class IconsTest : public HostTest {
 protected:
  // Hands `image` to a React Native image view and answers what reached its saved setImage:.
  id SetOnImageView(id image) {
    id imageView = MakeView("RCTImageView");
    device::ClearTrace();
    Send(imageView, "setImage:", image);
    return device::StoredImage(imageView);
  }
};

// Fault pinned: partly covered pixels took in the source's colour and more than its alpha
// (half-transparent blue came out C0AAAAFF, not white at alpha 80).
TEST_F(IconsTest, ASmallImageBecomesAnUprightWhiteSilhouetteAtTheSourcesAlpha) {
  // No two rows or columns alike, so that a flip or a mirror shows.
  const std::vector<std::uint32_t> shape = {
      0x800000FF, 0xFFFF0000, 0x0000FF00, 0x4000FF00,  //
      0x10000000, 0xC0FFFF00, 0xFFFFFFFF, 0x00000000,  //
      0x010000FF, 0xFE808080, 0x7FFF00FF, 0x8000FFFF,  //
  };
  std::vector<std::uint32_t> expected;
  for (std::uint32_t pixel : shape) {
    expected.push_back((pixel & 0xFF000000U) == 0 ? 0 : (pixel | 0x00FFFFFFU));
  }
  id silhouette = SetOnImageView(Keep(device::NewImageFromPixels(4, 3, 1.0, shape)));
  ASSERT_NE(silhouette, nullptr);
  ASSERT_EQ(device::ImagePixelWidth(silhouette), 4U);
  EXPECT_EQ(Picture(device::ImagePixels(silhouette), 4), Picture(expected, 4));
}

// A silhouette has the source's size in points at scale 1.0, its pixels rounded up to whole ones;
// white over the share of each pixel that the source covers. Fault pinned: an icon narrower than
// one pixel reached its view as nil, because no image context was made for it.
TEST_F(IconsTest, ASilhouetteCoversTheSourcesSizeInPointsAtScaleOne) {
  struct Case {
    unsigned long widthPixels, heightPixels;
    double scale;
    unsigned long silhouetteWidth, silhouetteHeight;
  };
  const Case cases[] = {
      {48, 48, 2.0, 24, 24},  // 24 by 24 points at scale 2: 24 by 24 pixels.
      {1, 20, 2.0, 1, 10},    // 0.5 by 10 points.
      {1, 1, 1 / 0.3, 1, 1},  // 0.3 by 0.3 points.
      {5, 3, 2.0, 3, 2},      // 2.5 by 1.5 points: the last column and row half covered.
      {49, 13, 2.0, 25, 7},   // 24.5 by 6.5 points.
      {7, 10, 4.0, 2, 3},     // 1.75 by 2.5 points.
  };
  for (const Case& c : cases) {
    const double width = c.widthPixels / c.scale;
    const double height = c.heightPixels / c.scale;
    SCOPED_TRACE(std::to_string(width) + " by " + std::to_string(height) + " points");
    id silhouette =
        SetOnImageView(Keep(device::NewSolidImage(c.widthPixels, c.heightPixels, c.scale, kRed)));
    ASSERT_NE(silhouette, nullptr);
    EXPECT_EQ(Send<CGFloat>(silhouette, "scale"), 1.0);
    ASSERT_EQ(device::ImagePixelWidth(silhouette), c.silhouetteWidth);
    ASSERT_EQ(device::ImagePixelHeight(silhouette), c.silhouetteHeight);
    const std::vector<std::uint32_t> pixels = device::ImagePixels(silhouette);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      const double across = std::min(1.0, width - static_cast<double>(i % c.silhouetteWidth));
      const double down = std::min(1.0, height - static_cast<double>(i / c.silhouetteWidth));
      const double alpha = across * down * 255;
      EXPECT_EQ(pixels[i] & 0x00FFFFFFU, 0x00FFFFFFU) << "pixel " << i;
      EXPECT_NEAR(pixels[i] >> 24, alpha, 1.5) << "pixel " << i << "\n"
                                               << Picture(pixels, c.silhouetteWidth);
    }
    EXPECT_EQ(device::ImageContextDepth(), 0U);
  }
}

// An image whose size says what the test wants, whatever its bitmap: for sizes no bitmap has.
id NewImageOfSize(CGSize size) {
  static Class sized = device::DefineClass(
      "IconsTestSizedImage", "UIImage",
      {{"_width", sizeof(CGFloat), device::kEncodingOf<CGFloat>.text},
       {"_height", sizeof(CGFloat), device::kEncodingOf<CGFloat>.text}},
      [](Class cls) {
        device::AddInstanceMethod(
            cls, "size", +[](id self, SEL) {
              return CGSize{device::InstanceVariableOf<CGFloat>(self, "_width"),
                            device::InstanceVariableOf<CGFloat>(self, "_height")};
            });
      });
  id image = device::Message<id>(device::Message<id>(reinterpret_cast<id>(sized), "alloc"), "init");
  device::InstanceVariableOf<CGFloat>(image, "_width") = size.width;
  device::InstanceVariableOf<CGFloat>(image, "_height") = size.height;
  return image;
}

TEST_F(IconsTest, WhatIsNotRecolouredReachesTheViewUnchangedOrAsNil) {
  enum Reaches { kUnchanged, kNil, kRecoloured };
  struct Case {
    const char* name;
    bool themeOn;
    id image;  // Made below.
    Reaches reaches;
  };
  const CGFloat nan = std::numeric_limits<CGFloat>::quiet_NaN();
  const auto solid = [this](unsigned long w, unsigned long h, CGFloat scale) {
    return Keep(device::NewSolidImage(w, h, scale, kBlack));
  };
  const Case cases[] = {
      {"99.5 points wide", true, solid(199, 10, 2.0), kRecoloured},
      {"exactly 100 points wide", true, solid(100, 10, 1.0), kUnchanged},
      {"300 points wide", true, solid(300, 10, 1.0), kUnchanged},
      {"tall and narrow: only the width counts", true, solid(50, 400, 1.0), kRecoloured},
      {"theme off", false, solid(10, 10, 1.0), kUnchanged},
      {"not a number wide", true, Keep(NewImageOfSize({nan, 10})), kUnchanged},
      {"no height", true, Keep(NewImageOfSize({10, 0})), kNil},
      {"no width", true, Keep(NewImageOfSize({0, 10})), kNil},
      {"not a number high", true, Keep(NewImageOfSize({10, nan})), kNil},
      {"no image", true, nullptr, kNil},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.themeOn ? RemoveSettings() : WriteSettings({{"enabled", false}});
    id reached = SetOnImageView(c.image);
    if (c.reaches == kRecoloured) {
      EXPECT_TRUE(reached != nullptr && reached != c.image);
    } else {
      EXPECT_EQ(reached, c.reaches == kNil ? nullptr : c.image);
    }
    EXPECT_EQ(device::CountCalls("setImage:"), 2U) << "RCTImageView's setImage: and its super's";
    EXPECT_EQ(device::CountCalls("drawInRect:"), c.reaches == kRecoloured ? 1U : 0U);
    EXPECT_EQ(device::ImageContextDepth(), 0U);
  }
}

TEST_F(IconsTest, DrawsInTheOrderThatLinesTheMaskUpWithTheImage) {
  SetOnImageView(Keep(device::NewSolidImage(10, 20, 1.0, kRed)));
  std::vector<std::string> drawing;
  for (const device::TraceCall& call : device::TraceCalls()) {
    if (call.selector.starts_with("CGContext") || call.selector.starts_with("UIGraphics") ||
        call.selector == "drawInRect:") {
      drawing.push_back(call.Describe());
    }
  }
  const char* const current = "UIGraphicsGetCurrentContext";
  EXPECT_EQ(drawing,
            (std::vector<std::string>{
                "UIGraphicsBeginImageContext {10,20}", current,
                "CGContextSetBlendMode CGContext 17", "UIImage drawInRect: {0,0,10,20}", current,
                "CGContextTranslateCTM CGContext 0 20", current, "CGContextScaleCTM CGContext 1 -1",
                current, "CGContextClipToMask CGContext {0,0,10,20} CGImage 10x20", current,
                "CGContextSetFillColorWithColor CGContext #FFFFFFFF", current,
                "CGContextFillRect CGContext {0,0,10,20}",
                "UIGraphicsGetImageFromCurrentImageContext", "UIGraphicsEndImageContext"}));
}

class ButtonBarTest : public HostTest {
 protected:
  // Lays out a bar of buttons with these tags and answers, in the bar's order, which turned white
  // (a template image for the normal state and a white tint): "1" or "0" for each.
  std::string WhiteAfterLayout(const std::vector<device::BarButton>& buttons) {
    id bar = Keep(device::NewButtonBar(buttons));
    device::ClearTrace();
    Send(bar, "layoutSubviews");
    EXPECT_EQ(device::TraceCalls().at(0).Describe(), "IGUFIButtonBarView layoutSubviews")
        << "the bar places its buttons in its own layout, which must run first";
    EXPECT_EQ(device::CountCalls("subviews", bar), 4U) << "each pass fetches the subviews anew";
    device::PausedTrace quiet;
    std::string white;
    for (id button : device::ArrayObjects(Send<id>(bar, "subviews"))) {
      white += Send<long>(device::ButtonImageOf(button), "renderingMode") == 2 &&
                       device::ColorText(Send<id>(button, "tintColor")) == "#FFFFFFFF"
                   ? "1"
                   : "0";
    }
    return white;
  }
};

TEST_F(ButtonBarTest, TheFourTaggedButtonsTurnWhiteInTagOrderWhateverTheSettings) {
  for (const bool themeOn : {true, false}) {
    SCOPED_TRACE(themeOn ? "theme on" : "theme off");
    if (!themeOn) WriteSettings({{"enabled", false}});
    id icon = Keep(device::NewSolidImage(24, 24, 1.0, kBlack));
    EXPECT_EQ(
        WhiteAfterLayout({{91823, icon}, {42342, icon}, {847123, icon}, {124980, icon}, {7, icon}}),
        "11110");
    std::string order;
    for (const device::TraceCall& call : device::CallsOf("setImage:forState:")) {
      order += std::to_string(device::Message<long>(call.receiver, "tag")) + " ";
    }
    EXPECT_EQ(order, "124980 847123 42342 91823 ") << "one pass per tag, in this order";
  }
}

TEST_F(ButtonBarTest, EveryButtonOfATagIsTreatedAndNothingElse) {
  id icon = Keep(device::NewSolidImage(24, 24, 1.0, kBlack));
  EXPECT_EQ(WhiteAfterLayout(
                {{42342, icon}, {42342, icon}, {42341, icon}, {42343, icon}, {124981, icon}}),
            "11000");
  // A button without an image gets none for its normal state.
  id bar = Keep(device::NewButtonBar({{124980, nullptr}}));
  // A tagged subview that is no button is skipped.
  id plain = MakeView("UIView");
  {
    device::PausedTrace quiet;
    Send(plain, "setTag:", 124980L);
    Send(bar, "addSubview:", plain);
  }
  EXPECT_NO_THROW(Send(bar, "layoutSubviews"));
  EXPECT_EQ(device::ButtonImageOf(device::ArrayObjects(Send<id>(bar, "subviews")).at(0)), nullptr);
  EXPECT_EQ(device::CountCalls("setTintColor:", plain), 0U);
}

}  // namespace
