#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

#include "CoreGraphics/CoreGraphics.h"

// The simulated device's own view of the CoreGraphics stand-in's bitmaps: making images from
// pixels and reading them back, and the bitmap contexts that UIKit's image contexts stand on.
//
// Coordinates. A bitmap context starts with its origin at the top left and y growing downwards,
// one unit per pixel, as UIKit's image contexts are; CGContextTranslateCTM and CGContextScaleCTM
// change that user space for later drawing. Two ways of placing an image into a rectangle of user
// space differ, as on the platform:
// - DrawImageUpright (what -[UIImage drawInRect:] does) puts the image's row 0 at the rectangle's
//   minimum y, so that in an unflipped UIKit context the image appears upright.
// - CGContextClipToMask puts the mask's row 0 at the rectangle's MAXIMUM y and its last row at the
//   minimum y, as CoreGraphics places every image in its native y-up space. In a UIKit context the
//   mask therefore lands upside down relative to the same image drawn with drawInRect:, unless the
//   caller first flips user space (translate by the height, then scale y by -1), after which the
//   two line up exactly.
namespace device {

// A new image (one reference, owned by the caller) of `width` by `height` pixels from `pixels`,
// given row by row from the top as straight (not premultiplied) 0xAARRGGBB. Raises
// std::invalid_argument when the size is zero or `pixels` does not hold width times height.
CGImageRef NewCGImageFromPixels(unsigned long width, unsigned long height,
                                const std::vector<std::uint32_t>& pixels);

// The image's pixels, row by row from the top, as straight 0xAARRGGBB (a fully transparent pixel
// reads 0). Empty for NULL. Records nothing.
std::vector<std::uint32_t> CGImagePixels(CGImageRef image);
unsigned long CGImagePixelWidth(CGImageRef image);
unsigned long CGImagePixelHeight(CGImageRef image);

// The image's own Cairo surface (premultiplied ARGB32, row 0 at the top), unowned, for drawing the
// image somewhere else; NULL for NULL. The surface must not be changed.
cairo_surface_t* CGImageSurface(CGImageRef image);

// A new bitmap context of `width` by `height` pixels (both at least 1), fully transparent, in the
// state a new UIKit image context has: the user space above, normal blending, an opaque black fill
// colour and no clip. Owned by the caller, who frees it with FreeBitmapContext.
CGContextRef NewBitmapContext(unsigned long width, unsigned long height);
void FreeBitmapContext(CGContextRef context);

// A new image (one reference, owned by the caller) holding a copy of the context's pixels now.
CGImageRef CreateCGImageFromContext(CGContextRef context);

// Draws `image` scaled to fill `rect` (current user coordinates) with its row 0 at the rectangle's
// minimum y, under the context's blend mode, transform and clip. Records nothing; the caller
// records what it stands for. NULL context, NULL image or an empty rectangle draw nothing.
void DrawImageUpright(CGContextRef context, CGRect rect, CGImageRef image);

// The numbers of images and of bitmap contexts made and not yet freed, for leak checks, counted
// over every thread. An image never changes once made, so any number of threads may read it or
// draw it at once; a context is used by one thread at a time.
long LiveCGImages();
long LiveCGContexts();

}  // namespace device
