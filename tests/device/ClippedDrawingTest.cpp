// Filling one pixel through a clip mask, in the copy mode and the normal mode, over what the pixel
// held before: the rule by which the icon silhouettes get their soft edges.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "CoreGraphics/CoreGraphics.h"
#include "device/CoreGraphics/BitmapDevice.h"

namespace {

struct ClipCase {
  const char* name;
  std::uint32_t before;  // What the pixel held, straight 0xAARRGGBB.
  std::uint8_t clip;     // The mask's alpha over the pixel.
  CGBlendMode mode;
  std::uint32_t after;  // With opaque white filled through the clip.
};

std::string Hex(std::uint32_t pixel) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", pixel);
  return text;
}

// Fills opaque white over one pixel that holds `before`, through a mask of alpha `clip`.
std::uint32_t FillWhiteThroughClip(const ClipCase& c) {
  CGContextRef context = device::NewBitmapContext(1, 1);
  CGImageRef held = device::NewCGImageFromPixels(1, 1, {c.before});
  CGContextSetBlendMode(context, kCGBlendModeCopy);
  device::DrawImageUpright(context, {{0, 0}, {1, 1}}, held);
  CGImageRef mask = device::NewCGImageFromPixels(1, 1, {std::uint32_t{c.clip} << 24});
  CGContextClipToMask(context, {{0, 0}, {1, 1}}, mask);
  CGContextSetBlendMode(context, c.mode);
  CGColorRef white = CGColorCreateSRGB(1, 1, 1, 1);
  CGContextSetFillColorWithColor(context, white);
  CGContextFillRect(context, {{0, 0}, {1, 1}});
  CGImageRef result = device::CreateCGImageFromContext(context);
  const std::uint32_t pixel = device::CGImagePixels(result).at(0);
  CGImageRelease(result);  // NOLINT(clang-analyzer-osx.cocoa.RetainCount): New... hands it over.
  CGColorRelease(white);
  CGImageRelease(mask);
  CGImageRelease(held);
  device::FreeBitmapContext(context);
  return pixel;
}

TEST(ClippedDrawingTest, CopyReplacesWhatTheClipReachesAndOtherModesMix) {
  const ClipCase cases[] = {
      {"copy over nothing, half clip", 0x00000000, 0x80, kCGBlendModeCopy, 0x80FFFFFF},
      // The clip is the pixel's own alpha: it reaches exactly what the pixel held.
      {"copy over half blue, clip its alpha", 0x800000FF, 0x80, kCGBlendModeCopy, 0x80FFFFFF},
      {"copy over a quarter red, clip its alpha", 0x40FF0000, 0x40, kCGBlendModeCopy, 0x40FFFFFF},
      // A clip beyond what the pixel held replaces all of it.
      {"copy over a quarter red, half clip", 0x40FF0000, 0x80, kCGBlendModeCopy, 0x80FFFFFF},
      // A clip short of what the pixel held keeps the rest of it: half white, half blue.
      {"copy over half blue, quarter clip", 0x800000FF, 0x40, kCGBlendModeCopy, 0x808080FF},
      {"copy over opaque red, half clip", 0xFFFF0000, 0x80, kCGBlendModeCopy, 0xFFFF8080},
      {"copy over opaque red, no clip", 0xFFFF0000, 0x00, kCGBlendModeCopy, 0xFFFF0000},
      {"copy over opaque red, full clip", 0xFFFF0000, 0xFF, kCGBlendModeCopy, 0xFFFFFFFF},
      {"normal over opaque red, half clip", 0xFFFF0000, 0x80, kCGBlendModeNormal, 0xFFFF8080},
      {"normal over nothing, half clip", 0x00000000, 0x80, kCGBlendModeNormal, 0x80FFFFFF},
  };
  for (const ClipCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(FillWhiteThroughClip(c)), Hex(c.after));
  }
  EXPECT_EQ(device::LiveCGContexts(), 0);
  EXPECT_EQ(device::LiveCGImages(), 0);
}

}  // namespace
