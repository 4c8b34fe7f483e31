#include <cstdio>

#include "device/CoreGraphics/CoreGraphicsDevice.h"

namespace device {

TraceArgument RectArgument(CGRect rect) {
  char text[96];
  std::snprintf(text, sizeof text, "{%g,%g,%g,%g}", rect.origin.x, rect.origin.y, rect.size.width,
                rect.size.height);
  return {text, nullptr};
}

TraceArgument SizeArgument(CGSize size) {
  char text[64];
  std::snprintf(text, sizeof text, "{%g,%g}", size.width, size.height);
  return {text, nullptr};
}

TraceArgument CGColorArgument(CGColorRef color) {
  return {CGColorText(color), nullptr};
}

}  // namespace device
