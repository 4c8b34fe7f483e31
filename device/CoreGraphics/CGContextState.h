#pragma once

#include <cairo.h>

#include <functional>

#include "CoreGraphics/CoreGraphics.h"

// What a CGContext is inside the CoreGraphics stand-in: a Cairo context drawing on an ARGB32
// surface (the bitmap, whose transform is the context's user space), with the graphics state that
// Cairo does not hold in the form CoreGraphics gives it. Only the stand-in's own files see this.
struct CGContext {
  cairo_surface_t* surface = nullptr;  // Owned; the bitmap.
  cairo_t* cairo = nullptr;            // Owned; holds the current transform.
  // Owned; an A8 surface the bitmap's size whose alpha is how far later drawing reaches each
  // pixel, or null when nothing has been clipped.
  cairo_surface_t* clipMask = nullptr;
  // Set once a zero scale has collapsed user space, after which nothing drawn shows, as on the
  // platform.
  bool userSpaceCollapsed = false;
  CGBlendMode blendMode = kCGBlendModeNormal;
  double fill[4] = {0, 0, 0, 1};  // Straight red, green, blue, alpha.
};

namespace device {

// Runs `draw`, which builds a path or pattern on the Cairo context it is given (already in the
// context's user space and blend operator) and paints it, so that its effect reaches the bitmap
// only through the context's clip: each pixel ends as the unclipped result where the clip is
// opaque, unchanged where it is transparent, and in proportion between, as the platform's clip
// does. In proportion means the mix clip * drawn + (1 - clip) * before, except under the copy
// mode, where the part of a pixel that the clip reaches is taken to lie where the pixel's content
// lies: a clip made from an image's own alpha then replaces exactly what that image drew, so that
// filling through it gives the image's shape at the image's alpha.
void DrawThroughClip(CGContext& context, const std::function<void(cairo_t*)>& draw);

// Narrows the context's clip to where `mask` (its alpha) covers, the mask placed in `rect` of the
// current user space with its row 0 at the rectangle's maximum y.
void IntersectClipWithMask(CGContext& context, CGRect rect, CGImageRef mask);

}  // namespace device
