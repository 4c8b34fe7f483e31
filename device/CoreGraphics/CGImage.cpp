#include <cstdio>

#include "CoreGraphics/CoreGraphics.h"
#include "device/CoreGraphics/BitmapDevice.h"
#include "device/CoreGraphics/CGImageSurface.h"
#include "device/runtime/Trace.h"

namespace {
std::atomic<long> liveImages{0};
}  // namespace

namespace device {

CGImageRef NewCGImageOwningSurface(cairo_surface_t* surface) {
  // Finished here, once: from now on every thread that holds the image only reads its pixels.
  cairo_surface_flush(surface);
  auto* image = new CGImage;
  image->surface = surface;
  ++liveImages;
  return image;
}

TraceArgument ImageArgument(CGImageRef image) {
  if (image == nullptr) return {"NULL", nullptr};
  char text[48];
  std::snprintf(text, sizeof text, "CGImage %dx%d", cairo_image_surface_get_width(image->surface),
                cairo_image_surface_get_height(image->surface));
  return {text, nullptr};
}

long LiveCGImages() {
  return liveImages;
}

}  // namespace device

extern "C" {

// Reference counting is not recorded, as NSObject's is not: it says nothing about what was drawn.
CGImageRef CGImageRetain(CGImageRef image) {
  if (image != nullptr) ++image->references;
  return image;
}

void CGImageRelease(CGImageRef image) {
  if (image == nullptr) return;
  if (--image->references == 0) {
    cairo_surface_destroy(image->surface);
    --liveImages;
    delete image;
  }
}

unsigned long CGImageGetWidth(CGImageRef image) {
  device::RecordFunctionCall("CGImageGetWidth", {device::TracedImage(image)});
  return image == nullptr ? 0 : cairo_image_surface_get_width(image->surface);
}

unsigned long CGImageGetHeight(CGImageRef image) {
  device::RecordFunctionCall("CGImageGetHeight", {device::TracedImage(image)});
  return image == nullptr ? 0 : cairo_image_surface_get_height(image->surface);
}

}  // extern "C"
