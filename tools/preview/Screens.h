#pragma once

#include <objc/runtime.h>

#include <string>
#include <vector>

// The sample screens of the simulated host, built the way the host builds them: its own classes,
// its own colours set through the ordinary setters, its palette asked through IGColors, and a
// layout pass run over each screen as UIKit would run it before showing it.
namespace preview {

// One view of a screen as it was built, before the layout pass: a view that a layout pass
// detaches is still listed, so that what happened to it can be seen.
struct ScreenView {
  id view;           // Retained by the screen.
  std::string path;  // Class names and indices from the screen's root: "UIView/IGFeedView[2]".
};

struct Screen {
  std::string title;
  id root;                        // The screen's root view, 320 by 568 points; retained.
  std::vector<ScreenView> views;  // Every view under the root, the root first, parents first.
  std::vector<id> keep;           // Other objects the screen holds (controllers); retained.
};

// Builds every screen and runs its layout pass. The simulated host's classes must be registered;
// with the library loaded the screens come out themed, without it stock. Needs an autorelease
// pool in place.
std::vector<Screen> BuildScreens();

// Releases everything the screens hold.
void ReleaseScreens(std::vector<Screen>& screens);

}  // namespace preview
