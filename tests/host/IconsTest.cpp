// Icon tinting on real pixels: React Native images become white silhouettes, the button bar's
// tagged buttons white template icons.
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

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
    std::vector<std::uint32_t> pixels(12UL * 12, 0x00FF00FF);
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 3; ++x) pixels[y * 12 + x] = kRed;
    }
    for (int y = 8; y < 10; ++y) {
      for (int x = 0; x < 7; ++x) pixels[y * 12 + x] = kBlack;
    }
    return pixels;
  }

  // The source's shape in opaque white: each pixel white at the source pixel's alpha, whatever
  // its colour.
  static std::vector<std::uint32_t> WhiteAtTheSourcesAlpha(
      const std::vector<std::uint32_t>& source) {
    std::vector<std::uint32_t> expected;
    for (std::uint32_t pixel : source) {
      const std::uint32_t alpha = pixel & 0xFF000000U;
      expected.push_back(alpha == 0 ? kClear : (alpha | 0x00FFFFFFU));
    }
    return expected;
  }

  // Pixels as "AARRGGBB", four to a row, so that a failure shows the picture.
  static std::string Picture(const std::vector<std::uint32_t>& pixels, unsigned long width) {
    std::string text;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      char pixel[10];
      std::snprintf(pixel, sizeof pixel, "%08X", pixels[i]);
      text += pixel;
      text += (i + 1) % width == 0 ? "\n" : " ";
    }
    return text;
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
  EXPECT_EQ(device::ImagePixels(silhouette), WhiteAtTheSourcesAlpha(shape));
}

// Fault pinned: partly covered pixels took in the source's colour and more than its alpha
// (half-transparent blue came out C0AAAAFF, not white at alpha 80).
TEST_F(IconsTest, PartlyTransparentPixelsBecomeWhiteAtTheSourcesAlpha) {
  // No two rows or columns alike, so that a flip or a mirror shows.
  const std::vector<std::uint32_t> shape = {
      0x800000FF, 0xFFFF0000, 0x0000FF00, 0x4000FF00,  //
      0x10000000, 0xC0FFFF00, 0xFFFFFFFF, 0x00000000,  //
      0x010000FF, 0xFE808080, 0x7FFF00FF, 0x8000FFFF,  //
  };
  id silhouette = SetOnImageView(Keep(device::NewImageFromPixels(4, 3, 1.0, shape)));
  ASSERT_NE(silhouette, nullptr);
  ASSERT_EQ(device::ImagePixelWidth(silhouette), 4u);
  const std::vector<std::uint32_t> pixels = device::ImagePixels(silhouette);
  EXPECT_EQ(pixels, WhiteAtTheSourcesAlpha(shape)) << "got\n"
                                                   << Picture(pixels, 4) << "expected\n"
                                                   << Picture(WhiteAtTheSourcesAlpha(shape), 4);
}

TEST_F(IconsTest, TheSilhouetteHasTheSourcesSizeInPointsAtScaleOne) {
  id image = Keep(device::NewSolidImage(48, 48, 2.0, kRed));
  id silhouette = SetOnImageView(image);
  EXPECT_EQ(Send<double>(silhouette, "scale"), 1.0);
  EXPECT_EQ(Send<CGSize>(silhouette, "size").width, 24.0);
  EXPECT_EQ(device::ImagePixelWidth(silhouette), 24u);
  EXPECT_EQ(device::ImagePixels(silhouette), std::vector<std::uint32_t>(24UL * 24, kWhite));
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

// Fault pinned: an icon narrower than one pixel reached its view as nil, because no image
// context was made for it.
TEST_F(IconsTest, AnIconUnderOnePixelBecomesAWhiteSilhouetteOfOnePixel) {
  struct Case {
    const char* name;
    unsigned long widthPixels, heightPixels;
    double scale;
    unsigned long silhouetteWidth, silhouetteHeight;  // Pixels, the points rounded up.
    std::uint32_t lowestAlpha, highestAlpha;          // White over the share of a pixel covered.
  };
  const Case cases[] = {
      {"0.5 by 10 points at scale 2", 1, 20, 2.0, 1, 10, 0x7F, 0x80},
      {"0.3 by 0.3 points", 1, 1, 1 / 0.3, 1, 1, 0x16, 0x18},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    id image = Keep(device::NewSolidImage(c.widthPixels, c.heightPixels, c.scale, kRed));
    id silhouette = SetOnImageView(image);
    ASSERT_NE(silhouette, nullptr);
    ASSERT_NE(silhouette, image);
    EXPECT_EQ(device::ImagePixelWidth(silhouette), c.silhouetteWidth);
    EXPECT_EQ(device::ImagePixelHeight(silhouette), c.silhouetteHeight);
    for (std::uint32_t pixel : device::ImagePixels(silhouette)) {
      EXPECT_EQ(pixel & 0x00FFFFFFU, 0x00FFFFFFU) << Picture({pixel}, 1);
      EXPECT_GE(pixel >> 24, c.lowestAlpha) << Picture({pixel}, 1);
      EXPECT_LE(pixel >> 24, c.highestAlpha) << Picture({pixel}, 1);
    }
    EXPECT_EQ(device::ImageContextDepth(), 0u);
  }
}

// An image whose size says what the test wants, whatever its bitmap: for sizes no bitmap has.
id NewImageOfSize(CGSize size) {
  static Class sized = device::DefineClass(
      "IconsTestSizedImage", "UIImage",
      {{"_width", sizeof(double), "d"}, {"_height", sizeof(double), "d"}}, [](Class cls) {
        device::AddInstanceMethod(
            cls, "size",
            +[](id self, SEL) {
              return CGSize{device::InstanceVariableOf<double>(self, "_width"),
                            device::InstanceVariableOf<double>(self, "_height")};
            },
            "{CGSize=dd}@:");
      });
  id image = device::Message<id>(device::Message<id>(reinterpret_cast<id>(sized), "alloc"), "init");
  device::InstanceVariableOf<double>(image, "_width") = size.width;
  device::InstanceVariableOf<double>(image, "_height") = size.height;
  return image;
}

TEST_F(IconsTest, AnImageOfNoWidthOrNoHeightReachesTheViewAsNilAndOneOfNoNumberUnchanged) {
  struct Case {
    const char* name;
    CGSize size;
    bool handedOnUnchanged;  // Otherwise nil is handed on.
  };
  const double notANumber = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"not a number wide", {notANumber, 10}, true},
      {"no height", {10, 0}, false},
      {"no width", {0, 10}, false},
      {"not a number high", {10, notANumber}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    id image = Keep(NewImageOfSize(c.size));
    EXPECT_EQ(SetOnImageView(image), c.handedOnUnchanged ? image : nullptr);
    EXPECT_EQ(device::CountCalls("setImage:"), 2u) << "RCTImageView's setImage: and its super's";
    EXPECT_EQ(device::CountCalls("drawInRect:"), 0u);
    EXPECT_EQ(device::ImageContextDepth(), 0u);
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
    // The bar places its buttons in its own layout, which must run before they change.
    const std::vector<device::TraceCall> calls = device::TraceCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().receiver, bar);
    EXPECT_EQ(calls.front().selector, "layoutSubviews");
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
