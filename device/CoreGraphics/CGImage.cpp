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
  auto* image = new CGImage;
  image->surface = surface;
  ++liveImages;
  return image;
}

const char* ImageTraceText(CGImageRef image, char (&text)[48]) {
  if (image == nullptr) {
    std::snprintf(text, sizeof text, "NULL");
  } else {
    std::snprintf(text, sizeof text, "CGImage %dx%d", cairo_image_surface_get_width(image->surface),
                  cairo_image_surface_get_height(image->surface));
  }
  return text;
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
  char text[48];
  device::RecordFunctionCall("CGImageGetWidth", {{device::ImageTraceText(image, text), nullptr}});
  return image == nullptr ? 0 : cairo_image_surface_get_width(image->surface);
}

unsigned long CGImageGetHeight(CGImageRef image) {
  char text[48];
  device::RecordFunctionCall("CGImageGetHeight", {{device::ImageTraceText(image, text), nullptr}});
  return image == nullptr ? 0 : cairo_image_surface_get_height(image->surface);
}

}  // extern "C"
