#pragma once

#include <string>
#include <vector>

#include "tools/preview/Screens.h"

// The screens as JSON, for tools and tests that compare what views ended with:
//
//   {"screens": [{"title": "Feed", "views": [
//     {"class": "UILabel", "path": "UIView/IGFeedView[3]/UILabel[1]",
//      "frame": [50, 8, 200, 18], "backgroundColor": null, "borderColor": "#000000FF",
//      "textColor": "#FFFFFFFF", "tintColor": null, "hidden": false, "attached": true}, ...]}]}
//
// One object per view that the screen was built with, in the order of building (parents first).
// Colours are "#RRGGBBAA", each component times 255 and truncated, or null (none, or a colour
// without red, green and blue, such as a pattern). "textColor" is null for a view that has none.
// "attached" says whether the view is still in its screen's tree after the layout pass.
namespace preview {

std::string ScreensJson(const std::vector<Screen>& screens);

}  // namespace preview
