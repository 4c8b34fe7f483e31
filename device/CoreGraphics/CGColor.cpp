#include <atomic>
#include <cstdio>

#include "CoreGraphics/CoreGraphics.h"
#include "device/CoreGraphics/CoreGraphicsDevice.h"

struct CGColor {
  std::atomic<long> references{1};
  CGColorSpaceModel model = kCGColorSpaceModelRGB;
  unsigned long count = 0;
  CGFloat components[4] = {0, 0, 0, 0};
};

namespace {
std::atomic<long> liveColors{0};

CGColorRef NewColor(CGColorSpaceModel model, std::initializer_list<CGFloat> components) {
  auto* color = new CGColor;
  color->model = model;
  color->count = components.size();
  unsigned long index = 0;
  for (CGFloat component : components) color->components[index++] = component;
  ++liveColors;
  return color;
}
}  // namespace

extern "C" {

CGColorRef CGColorCreateSRGB(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
  return NewColor(kCGColorSpaceModelRGB, {red, green, blue, alpha});
}

CGColorRef CGColorCreateGenericGray(CGFloat gray, CGFloat alpha) {
  return NewColor(kCGColorSpaceModelMonochrome, {gray, alpha});
}

CGColorRef CGColorCreatePattern(void) {
  return NewColor(kCGColorSpaceModelPattern, {1.0});
}

CGColorRef CGColorRetain(CGColorRef color) {
  if (color != nullptr) ++color->references;
  return color;
}

void CGColorRelease(CGColorRef color) {
  if (color == nullptr) return;
  if (--color->references == 0) {
    --liveColors;
    delete color;
  }
}

CGColorSpaceModel CGColorGetColorSpaceModel(CGColorRef color) {
  return color == nullptr ? kCGColorSpaceModelMonochrome : color->model;
}

unsigned long CGColorGetNumberOfComponents(CGColorRef color) {
  return color == nullptr ? 0 : color->count;
}

const CGFloat* CGColorGetComponents(CGColorRef color) {
  return color == nullptr ? nullptr : color->components;
}

CGFloat CGColorGetAlpha(CGColorRef color) {
  return color == nullptr || color->count == 0 ? 0 : color->components[color->count - 1];
}

}  // extern "C"

namespace device {

long LiveCGColors() {
  return liveColors;
}

std::string CGColorText(CGColorRef color) {
  if (color == nullptr) return "NULL";
  const CGFloat* c = color->components;
  CGFloat rgba[4];
  switch (color->model) {
    case kCGColorSpaceModelMonochrome:
      rgba[0] = rgba[1] = rgba[2] = c[0];
      rgba[3] = c[1];
      break;
    case kCGColorSpaceModelRGB:
      for (int i = 0; i < 4; ++i) rgba[i] = c[i];
      break;
    default:
      return "pattern";
  }
  char text[16];
  std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", static_cast<int>(rgba[0] * 255.0) & 0xFF,
                static_cast<int>(rgba[1] * 255.0) & 0xFF, static_cast<int>(rgba[2] * 255.0) & 0xFF,
                static_cast<int>(rgba[3] * 255.0) & 0xFF);
  return text;
}

}  // namespace device
