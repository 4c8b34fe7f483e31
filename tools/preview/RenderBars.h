#pragma once

#include <cairo.h>
#include <objc/runtime.h>

#include "CoreGraphics/CoreGraphics.h"

// The bars of the platform's chrome: the navigation bar, the toolbar and the status bar.
namespace preview {

// Fills a UINavigationBar or UIToolbar of `size` as the platform shows it, from its `barStyle`,
// `barTintColor` and (the navigation bar only) `isTranslucent`:
// - with a tint: a translucent bar shows a tint whose alpha is under 1 over white; an opaque bar
//   shows its tint opaque; a pattern tint shows as a hatch over white;
// - without a tint, or with a fully clear one: black for the black style (1), and the platform's
//   near-white bar for the default style.
// The title is not drawn here: the screens give the bar a label of its own for it.
void DrawBarFill(cairo_t* cairo, id bar, CGSize size);

// Draws what a UIStatusBar or _UIStatusBar shows, in the colour answered by `foregroundColor`
// (black when nil): the time "9:41" at the left and a battery glyph at the right, both centred
// vertically.
void DrawStatusBar(cairo_t* cairo, id statusBar, CGSize size);

}  // namespace preview
