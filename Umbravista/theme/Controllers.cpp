#include "theme/Controllers.h"

#include "hooks/SavedImplementations.h"
#include "platform/Foundation.h"
#include "platform/ObjectiveC.h"
#include "platform/SystemVersion.h"
#include "platform/TextStorage.h"
#include "platform/UIKit.h"
#include "settings/ColourLookup.h"

namespace umbravista {

using platform::Send;

namespace {

constexpr long kUIBarStyleBlack = 1;
constexpr platform::Colour kClearBlack{0.0, 0.0, 0.0, 0.0};

}  // namespace

void ReplaceUINavigationControllerViewDidLoad(id controller, SEL selector) {
  platform::CallSaved(SavedImplementation(kUINavigationControllerViewDidLoad), controller,
                      selector);
  id titleAttributes = platform::DictionaryWithEntry(platform::ForegroundColourAttributeName(),
                                                     platform::WhiteColour());
  auto navigationBar = [&] { return Send<id>(controller, "navigationBar"); };
  auto toolbar = [&] { return Send<id>(controller, "toolbar"); };
  Send(navigationBar(), "setBarStyle:", kUIBarStyleBlack);
  Send(navigationBar(), "setTranslucent:", false);
  Send(navigationBar(), "setBarTintColor:", platform::ColourWithComponents(kClearBlack));
  Send(toolbar(), "setBarTintColor:", platform::ColourWithComponents(kClearBlack));
  Send(toolbar(), "setBarStyle:", kUIBarStyleBlack);
  Send(navigationBar(), "setTitleTextAttributes:", titleAttributes);
  if (platform::SystemVersionIsAtLeast(11, 0, 0)) {
    Send(navigationBar(), "setLargeTitleTextAttributes:", titleAttributes);
  }
  Send(navigationBar(), "setBarStyle:", kUIBarStyleBlack);
  Send(controller, "setNeedsStatusBarAppearanceUpdate");
}

void ReplaceUITableViewControllerViewWillAppear(id controller, SEL, BOOL) {
  id mainBackground = LookUpColour(kMainBackground);
  Send(Send<id>(controller, "tableView"), "setBackgroundColor:", mainBackground);
}

}  // namespace umbravista
