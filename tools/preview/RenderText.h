#pragma once

#include <cairo.h>
#include <objc/runtime.h>

#include <string>

#include "CoreGraphics/CoreGraphics.h"
#include "device/UIKit/UIKitDevice.h"

// Text as the renderer draws it: one sans-serif face (DejaVu Sans, through Cairo's toy text API)
// at the platform's usual body size, for labels, text fields and the caret of text input.
namespace preview {

inline constexpr double kBodyFontSize = 14.0;

// Makes the renderer's sans-serif face, at `size` points, the context's current font.
void UseSansFont(cairo_t* cairo, double size, bool bold = false);

// The width that `utf8` takes in the current font.
double TextAdvance(cairo_t* cairo, const std::string& utf8);

// Draws one line of `utf8` in `colour` from `x`, centred vertically in the band that starts at
// `top` and is `height` high, in the current font.
void DrawLineCentredVertically(cairo_t* cairo, const std::string& utf8, double x, double top,
                               double height, const device::RGBA& colour);

// Draws what a label-like view (UILabel and its subclasses, UITextField, IGGrowingTextView)
// shows: its `text`, left-aligned and vertically centred in its `size`, in its `textColor` (black
// when it has none), clipped to its bounds. Draws nothing for a class that does not answer `text`.
void DrawViewText(cairo_t* cairo, id view, CGSize size);

// Draws the caret that a UITextSelectionView shows: a bar two points wide at its left edge, as
// high as the view, in the colour answered by `caretViewColor` (system blue when nil).
void DrawCaret(cairo_t* cairo, id selectionView, CGSize size);

}  // namespace preview
