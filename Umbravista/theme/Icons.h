#pragma once

#include <objc/runtime.h>

// Icon tinting: small React Native images and the host's tagged bar buttons turn white.
namespace umbravista {

// -[RCTImageView setImage:]. Asks ThemeGate first; theme off, the image is handed on unchanged.
// An image 100 points wide or wider (or whose width is not a number) is handed on unchanged.
// A narrower one is redrawn as a white silhouette of itself, at its size in points and scale
// 1.0, transparent where it was transparent, and the silhouette is handed on instead. An image
// with no pixel to draw (nil, or zero width or height) cannot be redrawn: nil is handed on. The
// saved setImage: is called once, last.
void ReplaceRCTImageViewSetImage(id imageView, SEL selector, id image);

// -[IGUFIButtonBarView layoutSubviews]. The saved layout first; then, for each of the tags 124980,
// 847123, 42342 and 91823 in that order, one pass over the bar's direct subviews (fetched anew for
// each pass): every subview with that tag that is a button gets its current image again as a
// template image for the normal state, and a white tint. No settings are read.
void ReplaceIGUFIButtonBarViewLayoutSubviews(id bar, SEL selector);

}  // namespace umbravista
