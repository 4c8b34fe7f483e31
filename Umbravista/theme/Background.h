#pragma once

#include <objc/runtime.h>

// The background substitution: UIView's setBackgroundColor: and layoutSubviews replacements,
// which turn the host's light backgrounds and borders into the main background colour.
namespace umbravista {

// -[UIView setBackgroundColor:]. Reads the main background colour, then asks ThemeGate. Theme
// off: the saved setter receives the requested colour. Theme on: a colour of the swap list is
// replaced by the main background colour, the dropped colour "262626" is refused (the saved
// setter is not called and the view keeps its background), and anything else, nil included,
// passes unchanged. The saved setter is called at most once.
void ReplaceUIViewSetBackgroundColor(id view, SEL selector, id requested);

// -[UIView layoutSubviews]. Calls the saved layoutSubviews first, then reads the main background
// colour and asks ThemeGate. Theme off: calls the saved layoutSubviews a second time and changes
// nothing. Theme on: a background of the layout list is repainted by an ordinary
// setBackgroundColor: message (so it passes the setter above), then a layer border of the border
// list is set to the main background colour directly on the layer.
void ReplaceUIViewLayoutSubviews(id view, SEL selector);

}  // namespace umbravista
