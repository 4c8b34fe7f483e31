#pragma once

#include <cairo.h>

#include <atomic>

#include "CoreGraphics/CoreGraphics.h"
#include "device/runtime/Trace.h"

// What a CGImage is inside the CoreGraphics stand-in: a reference count and a Cairo ARGB32 image
// surface, whose pixels are premultiplied 32-bit ARGB in the machine's byte order, row 0 at the
// top, as the platform lays out a bitmap image. Only the stand-in's own files see this.
struct CGImage {
  std::atomic<long> references{1};
  cairo_surface_t* surface = nullptr;  // Owned; never changed after the image is made.
};

namespace device {

// A new image (one reference, owned by the caller) that takes over `surface`, which must be a
// Cairo ARGB32 image surface with its drawing done. Counts towards LiveCGImages. The surface is
// flushed here and never written again, so that any number of threads may read and draw the
// image at once, as the platform's immutable images allow.
CGImageRef NewCGImageOwningSurface(cairo_surface_t* surface);

// "CGImage 48x48" for an image, "NULL" for none: how the trace shows an image argument.
TraceArgument ImageArgument(CGImageRef image);
inline TraceValue TracedImage(CGImageRef image) {
  return TraceValue::Of<&ImageArgument>(image);
}

// Which edge of a rectangle an image's row 0 lies along when the image is placed into it.
enum class ImageRowZero {
  kAtMinimumY,  // Upright in UIKit's y-down space, as -[UIImage drawInRect:] draws.
  kAtMaximumY,  // CoreGraphics' own y-up placement, as CGContextClipToMask places a mask.
};

// Fills `rect` (current user space, width and height positive) on `cairo` with `image` scaled to
// fill it, row 0 along the edge `rowZero` names; edge pixels are padded out to the rectangle's
// edge, and scaling is bilinear. Uses the context's current operator and clip.
void FillRectWithImage(cairo_t* cairo, CGRect rect, CGImageRef image, ImageRowZero rowZero);

}  // namespace device
