#pragma once

// The seven container views whose layout paints them with the main background, each with the
// setter its layout paints through and the getter that reads that colour back, as the behaviour's
// description lists them. Shared by the tests of what they paint and of when they read settings.
namespace umbravista::testkit {

struct PaintedContainer {
  const char* className;
  const char* paintSetter;
  const char* colourGetter;
};

inline constexpr PaintedContainer kPaintedContainers[] = {
    {"_UIStatusBarBackgroundView", "setBackgroundColor:", "backgroundColor"},
    {"UIStatusBarBackgroundView", "setBackgroundColor:", "backgroundColor"},
    {"UITableViewCellSelectedBackground",
     "setMultiselectBackgroundColor:", "multiselectBackgroundColor"},
    {"IGSelectAlbumCell", "setBackgroundColor:", "backgroundColor"},
    {"_UIStatusBarForegroundView", "setBackgroundColor:", "backgroundColor"},
    {"_UIVisualEffectBackdropView", "setBackgroundColor:", "backgroundColor"},
    {"_UINavigationBarContentView", "setBackgroundColor:", "backgroundColor"},
};

}  // namespace umbravista::testkit
