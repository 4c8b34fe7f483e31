#include <atomic>
#include <string>

#include "CoreGraphics/CoreGraphics.h"
#include "device/CoreGraphics/BitmapDevice.h"
#include "device/CoreGraphics/CGContextState.h"
#include "device/CoreGraphics/CGImageSurface.h"
#include "device/CoreGraphics/CoreGraphicsDevice.h"
#include "device/runtime/Trace.h"

namespace {

std::atomic<long> liveContexts{0};

using device::RecordFunctionCall;
using device::TracedNumber;
using device::TracedRect;
using device::TraceValue;

// A context shows in the trace only as present or not: its state is what the calls say.
device::TraceArgument ContextArgument(CGContextRef context) {
  return {context == nullptr ? "NULL" : "CGContext", nullptr};
}
TraceValue TracedContext(CGContextRef context) {
  return TraceValue::Of<&ContextArgument>(context);
}

// The same rectangle with a positive width and height, as the platform reads a rectangle.
CGRect Standardized(CGRect rect) {
  if (rect.size.width < 0) {
    rect.origin.x += rect.size.width;
    rect.size.width = -rect.size.width;
  }
  if (rect.size.height < 0) {
    rect.origin.y += rect.size.height;
    rect.size.height = -rect.size.height;
  }
  return rect;
}

}  // namespace

namespace device {

CGContextRef NewBitmapContext(unsigned long width, unsigned long height) {
  auto* context = new CGContext;
  context->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width),
                                                static_cast<int>(height));
  context->cairo = cairo_create(context->surface);
  ++liveContexts;
  return context;
}

void FreeBitmapContext(CGContextRef context) {
  if (context == nullptr) return;
  cairo_destroy(context->cairo);
  cairo_surface_destroy(context->surface);
  if (context->clipMask != nullptr) cairo_surface_destroy(context->clipMask);
  --liveContexts;
  delete context;
}

CGImageRef CreateCGImageFromContext(CGContextRef context) {
  cairo_surface_t* copy = cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(context->surface),
      cairo_image_surface_get_height(context->surface));
  cairo_t* cairo = cairo_create(copy);
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cairo, context->surface, 0, 0);
  cairo_paint(cairo);
  cairo_destroy(cairo);
  return NewCGImageOwningSurface(copy);
}

void DrawImageUpright(CGContextRef context, CGRect rect, CGImageRef image) {
  rect = Standardized(rect);
  if (context == nullptr || context->userSpaceCollapsed || image == nullptr ||
      rect.size.width == 0 || rect.size.height == 0) {
    return;
  }
  DrawThroughClip(*context, [&](cairo_t* cairo) {
    FillRectWithImage(cairo, rect, image, ImageRowZero::kAtMinimumY);
  });
}

long LiveCGContexts() {
  return liveContexts;
}

}  // namespace device

extern "C" {

void CGContextSetBlendMode(CGContextRef context, CGBlendMode mode) {
  RecordFunctionCall("CGContextSetBlendMode", {TracedContext(context), TracedNumber(mode)});
  if (context != nullptr) context->blendMode = mode;
}

void CGContextTranslateCTM(CGContextRef context, CGFloat tx, CGFloat ty) {
  RecordFunctionCall("CGContextTranslateCTM",
                     {TracedContext(context), TracedNumber(tx), TracedNumber(ty)});
  if (context != nullptr && !context->userSpaceCollapsed) cairo_translate(context->cairo, tx, ty);
}

void CGContextScaleCTM(CGContextRef context, CGFloat sx, CGFloat sy) {
  RecordFunctionCall("CGContextScaleCTM",
                     {TracedContext(context), TracedNumber(sx), TracedNumber(sy)});
  if (context == nullptr) return;
  // Cairo would refuse a singular transform for good; the context remembers the collapse instead.
  if (sx == 0 || sy == 0) context->userSpaceCollapsed = true;
  if (!context->userSpaceCollapsed) cairo_scale(context->cairo, sx, sy);
}

// A NULL mask leaves the clip as it is.
void CGContextClipToMask(CGContextRef context, CGRect rect, CGImageRef mask) {
  RecordFunctionCall("CGContextClipToMask",
                     {TracedContext(context), TracedRect(rect), device::TracedImage(mask)});
  if (context == nullptr || mask == nullptr || context->userSpaceCollapsed) return;
  device::IntersectClipWithMask(*context, Standardized(rect), mask);
}

// A grey or RGB colour becomes the fill colour; NULL or a pattern colour leaves it as it is.
void CGContextSetFillColorWithColor(CGContextRef context, CGColorRef color) {
  RecordFunctionCall("CGContextSetFillColorWithColor",
                     {TracedContext(context), device::TracedCGColor(color)});
  if (context == nullptr || color == nullptr) return;
  const CGFloat* c = CGColorGetComponents(color);
  switch (CGColorGetColorSpaceModel(color)) {
    case kCGColorSpaceModelMonochrome:
      context->fill[0] = context->fill[1] = context->fill[2] = c[0];
      context->fill[3] = c[1];
      break;
    case kCGColorSpaceModelRGB:
      for (int i = 0; i < 4; ++i) context->fill[i] = c[i];
      break;
    default:
      break;
  }
}

void CGContextFillRect(CGContextRef context, CGRect rect) {
  RecordFunctionCall("CGContextFillRect", {TracedContext(context), TracedRect(rect)});
  if (context == nullptr || context->userSpaceCollapsed) return;
  rect = Standardized(rect);
  const double* fill = context->fill;
  device::DrawThroughClip(*context, [&](cairo_t* cairo) {
    cairo_rectangle(cairo, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_set_source_rgba(cairo, fill[0], fill[1], fill[2], fill[3]);
    cairo_fill(cairo);
  });
}

}  // extern "C"
