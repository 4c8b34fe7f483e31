#pragma once

#include <cairo.h>
#include <objc/runtime.h>

#include "CoreGraphics/CoreGraphics.h"

// Attributed text as the platform's text views draw it from their text storage.
namespace preview {

// Draws the text storage of a UITextView (and its subclasses) or an RCTTextView, read with
// `textStorage`: its string from the top left, wrapped at word boundaries to the width available,
// each character in its own foreground colour attribute (black where it has none) over its own
// background colour attribute (nothing where it has none). A UITextView keeps the platform's
// default insets (8 points above, 5 at the sides); an RCTTextView draws in the content frame that
// React Native gave it, or in its bounds before it has one. Text past the bottom is clipped.
void DrawTextStorageView(cairo_t* cairo, id view, CGSize size);

}  // namespace preview
