#pragma once

#include <cairo.h>
#include <objc/runtime.h>

#include "CoreGraphics/CoreGraphics.h"
#include "device/UIKit/UIKitDevice.h"

// Images as the platform shows them: an ordinary image in its own pixels, and a template image
// (rendering mode 2) as its shape alone, filled with the tint of the view that shows it.
namespace preview {

// Draws `image` (a UIImage; nil draws nothing) scaled to fill `rect`; a template image draws its
// alpha filled with `templateTint`.
void DrawImage(cairo_t* cairo, id image, CGRect rect, const device::RGBA& templateTint);

// Draws the `image` of a UIImageView (or RCTImageView) scaled to fill the view's `size`, a
// template image in the view's `tintColor` (system blue when nil).
void DrawImageViewImage(cairo_t* cairo, id imageView, CGSize size);

// Draws the `currentImage` of a UIButton at its own size in points, centred in the button's
// `size` and scaled down, keeping its proportions, where it would not fit; a template image in
// the button's `tintColor` (system blue when nil).
void DrawButtonImage(cairo_t* cairo, id button, CGSize size);

}  // namespace preview
