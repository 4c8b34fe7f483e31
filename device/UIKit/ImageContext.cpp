#include <cmath>
#include <vector>

#include "UIKit/UIKit.h"
#include "device/CoreGraphics/CoreGraphicsDevice.h"
#include "device/UIKit/GraphicsDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace {

// The image contexts begun and not yet ended on this thread, the current one last. An entry is
// NULL where the size given was empty or no size.
thread_local std::vector<CGContextRef> imageContexts;

// At scale 1.0 a point is a pixel; a fractional size is rounded up to whole pixels, as UIKit
// does, so that nothing drawn within the size is cut off and a size under one pixel still has one.
unsigned long PixelsFor(CGFloat points) {
  return static_cast<unsigned long>(std::ceil(points));
}

}  // namespace

namespace device {

CGContextRef CurrentImageContext() {
  return imageContexts.empty() ? nullptr : imageContexts.back();
}

std::size_t ImageContextDepth() {
  return imageContexts.size();
}

}  // namespace device

extern "C" {

void UIGraphicsBeginImageContext(CGSize size) {
  device::RecordFunctionCall("UIGraphicsBeginImageContext", {device::TracedSize(size)});
  // Written so that a size that is not a number also makes no context; nor does an endless one,
  // for which the platform has no bitmap either.
  if (!(size.width > 0 && size.height > 0 && std::isfinite(size.width) &&
        std::isfinite(size.height))) {
    imageContexts.push_back(nullptr);
    return;
  }
  imageContexts.push_back(device::NewBitmapContext(PixelsFor(size.width), PixelsFor(size.height)));
}

CGContextRef UIGraphicsGetCurrentContext(void) {
  device::RecordFunctionCall("UIGraphicsGetCurrentContext");
  return device::CurrentImageContext();
}

id UIGraphicsGetImageFromCurrentImageContext(void) {
  device::RecordFunctionCall("UIGraphicsGetImageFromCurrentImageContext");
  CGContextRef context = device::CurrentImageContext();
  if (context == nullptr) return nullptr;
  CGImageRef bitmap = device::CreateCGImageFromContext(context);
  id image = device::NewImageWithCGImage(bitmap, 1.0);
  CGImageRelease(bitmap);
  device::PausedTrace quiet;
  return device::Message<id>(image, "autorelease");
}

// Ending with no context begun does nothing, as the platform only complains in its log.
void UIGraphicsEndImageContext(void) {
  device::RecordFunctionCall("UIGraphicsEndImageContext");
  if (imageContexts.empty()) return;
  device::FreeBitmapContext(imageContexts.back());
  imageContexts.pop_back();
}

}  // extern "C"
