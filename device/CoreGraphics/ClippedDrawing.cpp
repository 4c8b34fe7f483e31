#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "device/CoreGraphics/CGContextState.h"
#include "device/CoreGraphics/CGImageSurface.h"

namespace device {
namespace {

cairo_operator_t OperatorFor(CGBlendMode mode) {
  // Only the modes the interface names are simulated; any other draws as normal.
  return mode == kCGBlendModeCopy ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER;
}

void DrawUnclipped(cairo_t* cairo, CGBlendMode mode, const std::function<void(cairo_t*)>& draw) {
  cairo_save(cairo);
  cairo_set_operator(cairo, OperatorFor(mode));
  draw(cairo);
  cairo_restore(cairo);
}

// What a fresh drawing surface holds before `draw` runs on it.
enum class Backdrop { kNothing, kOpaqueWhite, kContextPixels };

// A new ARGB32 surface the size of the context's, holding `backdrop`, on which `draw` has run in
// the context's user space under its blend mode, unclipped.
cairo_surface_t* DrawnOnto(CGContext& context, Backdrop backdrop,
                           const std::function<void(cairo_t*)>& draw) {
  cairo_surface_t* drawn = cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(context.surface),
      cairo_image_surface_get_height(context.surface));
  cairo_t* cairo = cairo_create(drawn);
  if (backdrop == Backdrop::kOpaqueWhite) {
    cairo_set_source_rgba(cairo, 1, 1, 1, 1);
    cairo_paint(cairo);
  } else if (backdrop == Backdrop::kContextPixels) {
    cairo_set_source_surface(cairo, context.surface, 0, 0);
    cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cairo);
  }
  cairo_matrix_t userSpace;
  cairo_get_matrix(context.cairo, &userSpace);
  cairo_set_matrix(cairo, &userSpace);
  DrawUnclipped(cairo, context.blendMode, draw);
  cairo_destroy(cairo);
  cairo_surface_flush(drawn);
  return drawn;
}

std::uint32_t* Row(cairo_surface_t* surface, int y) {
  unsigned char* data = cairo_image_surface_get_data(surface);
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): Cairo's rows are 32-bit pixels.
  return reinterpret_cast<std::uint32_t*>(
      data + (static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface)));
}

unsigned Channel(std::uint32_t pixel, int shift) {
  return (pixel >> shift) & 0xFFU;
}

// The copy mode through a clip. Copy replaces what a pixel held with the source, over the part of
// the pixel that both the drawing and the clip reach; the rest of the pixel keeps what it held.
// Partial coverage says how much of a pixel is reached, not where in it: the part reached is
// taken to lie where the pixel's content already lies, as far as it can. So a clip made from an
// image's own alpha reaches exactly what that image drew, and filling through it gives the
// image's shape in the fill colour at the image's alpha, as on the platform; over an opaque pixel
// this is the usual mix, clip * drawn + (1 - clip) * before.
void CopyThroughClip(CGContext& context, const std::function<void(cairo_t*)>& draw) {
  // Drawn over nothing, a pixel holds the source times how far the drawing reaches it; drawn over
  // opaque white it holds that plus white for the rest. The two alphas give the reach.
  cairo_surface_t* overNothing = DrawnOnto(context, Backdrop::kNothing, draw);
  cairo_surface_t* overWhite = DrawnOnto(context, Backdrop::kOpaqueWhite, draw);
  cairo_surface_flush(context.surface);
  cairo_surface_flush(context.clipMask);
  const int width = cairo_image_surface_get_width(context.surface);
  const int height = cairo_image_surface_get_height(context.surface);
  for (int y = 0; y < height; ++y) {
    std::uint32_t* before = Row(context.surface, y);
    const std::uint32_t* source = Row(overNothing, y);
    const std::uint32_t* white = Row(overWhite, y);
    const unsigned char* clip =
        cairo_image_surface_get_data(context.clipMask) +
        (static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(context.clipMask));
    for (int x = 0; x < width; ++x) {
      // Rounding may put the alpha over white a step below the alpha over nothing.
      const unsigned sourceAlpha = std::min(Channel(source[x], 24), Channel(white[x], 24));
      const unsigned drawingReach = 255U - (Channel(white[x], 24) - sourceAlpha);
      const unsigned reach = std::min<unsigned>(drawingReach, clip[x]);
      if (reach == 0) continue;
      const unsigned heldAlpha = Channel(before[x], 24);
      // The source over the whole reach, and what the pixel held beyond it.
      const double sourceShare = static_cast<double>(reach) / drawingReach;
      const double keptShare =
          heldAlpha == 0 ? 0.0
                         : static_cast<double>(heldAlpha - std::min(heldAlpha, reach)) / heldAlpha;
      std::uint32_t result = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const double value =
            (Channel(source[x], shift) * sourceShare) + (Channel(before[x], shift) * keptShare);
        result |= std::min(255U, static_cast<unsigned>(std::lround(value))) << shift;
      }
      before[x] = result;
    }
  }
  cairo_surface_mark_dirty(context.surface);
  cairo_surface_destroy(overNothing);
  cairo_surface_destroy(overWhite);
}

// Paints the mask's alpha into `rect` (current user space, width and height positive) on the A8
// surface that `cairo` draws on.
void FillWithMask(cairo_t* cairo, CGRect rect, CGImageRef mask) {
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  FillRectWithImage(cairo, rect, mask, ImageRowZero::kAtMaximumY);
}

}  // namespace

void FillRectWithImage(cairo_t* cairo, CGRect rect, CGImageRef image, ImageRowZero rowZero) {
  const double columnsPerUnit = cairo_image_surface_get_width(image->surface) / rect.size.width;
  const double rowsPerUnit = cairo_image_surface_get_height(image->surface) / rect.size.height;
  // From user space to image pixels: column u = (x - minX) * columnsPerUnit, and row v counted
  // from the edge that row 0 lies along.
  const bool flipped = rowZero == ImageRowZero::kAtMaximumY;
  cairo_matrix_t placement;
  cairo_matrix_init(
      &placement, columnsPerUnit, 0, 0, flipped ? -rowsPerUnit : rowsPerUnit,
      -rect.origin.x * columnsPerUnit,
      flipped ? (rect.origin.y + rect.size.height) * rowsPerUnit : -rect.origin.y * rowsPerUnit);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(image->surface);
  cairo_pattern_set_matrix(pattern, &placement);
  // Padding keeps the edge pixels whole up to the rectangle's edge when the image is scaled up.
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_BILINEAR);
  cairo_rectangle(cairo, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
  cairo_set_source(cairo, pattern);
  cairo_fill(cairo);
  cairo_pattern_destroy(pattern);
}

void DrawThroughClip(CGContext& context, const std::function<void(cairo_t*)>& draw) {
  if (context.clipMask == nullptr) {
    DrawUnclipped(context.cairo, context.blendMode, draw);
    return;
  }
  if (context.blendMode == kCGBlendModeCopy) {
    CopyThroughClip(context, draw);
    return;
  }
  // Cairo's own clipping is geometric, and its operators treat a mask differently from one
  // operator to another; drawing onto a copy and then blending the copy in through the mask
  // gives the platform's rule (result = clip * drawn + (1 - clip) * before) for the other modes.
  cairo_surface_t* drawn = DrawnOnto(context, Backdrop::kContextPixels, draw);
  cairo_t* cairo = context.cairo;
  cairo_save(cairo);
  cairo_identity_matrix(cairo);
  cairo_set_operator(cairo, CAIRO_OPERATOR_DEST_OUT);  // before * (1 - clip)
  cairo_set_source_rgba(cairo, 0, 0, 0, 1);
  cairo_mask_surface(cairo, context.clipMask, 0, 0);
  cairo_set_operator(cairo, CAIRO_OPERATOR_ADD);  // + drawn * clip
  cairo_set_source_surface(cairo, drawn, 0, 0);
  cairo_mask_surface(cairo, context.clipMask, 0, 0);
  cairo_restore(cairo);
  cairo_surface_destroy(drawn);
}

void IntersectClipWithMask(CGContext& context, CGRect rect, CGImageRef mask) {
  const int width = cairo_image_surface_get_width(context.surface);
  const int height = cairo_image_surface_get_height(context.surface);
  cairo_surface_t* clip = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
  cairo_t* cairo = cairo_create(clip);
  cairo_matrix_t userSpace;
  cairo_get_matrix(context.cairo, &userSpace);
  cairo_set_matrix(cairo, &userSpace);
  // An empty rectangle leaves the new mask empty, and so the clip: nothing is reachable.
  if (rect.size.width > 0 && rect.size.height > 0) FillWithMask(cairo, rect, mask);

  // A second mask narrows the first: the clip is where both reach.
  if (context.clipMask != nullptr) {
    cairo_identity_matrix(cairo);
    cairo_set_operator(cairo, CAIRO_OPERATOR_DEST_IN);
    cairo_set_source_surface(cairo, context.clipMask, 0, 0);
    cairo_paint(cairo);
    cairo_surface_destroy(context.clipMask);
  }
  cairo_destroy(cairo);
  context.clipMask = clip;
}

}  // namespace device
