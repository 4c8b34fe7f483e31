#pragma once

#include <cairo.h>
#include <objc/runtime.h>

#include "CoreGraphics/CoreGraphics.h"

// The platform's software keyboard.
namespace preview {

// Draws a UIKeyboard filling `size`: three rows of letter keys (QWERTY), then a row with a space
// bar, as rounded keys with their letters. Its `appearance` chooses the look: 1 is dark (a
// #2B2B2B background, #6B6B6B keys, white letters); anything else is light (a #D1D4D9
// background, white keys, black letters).
void DrawKeyboard(cairo_t* cairo, id keyboard, CGSize size);

}  // namespace preview
