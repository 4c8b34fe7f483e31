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
  auto navigationBar = [&] { return Send<id>(controller, "navigationBar"_sel); };
  auto toolbar = [&] { return Send<id>(controller, "toolbar"_sel); };
  Send(navigationBar(), "setBarStyle:"_sel, kUIBarStyleBlack);
  Send(navigationBar(), "setTranslucent:"_sel, false);
  Send(navigationBar(), "setBarTintColor:"_sel, platform::ColourWithComponents(kClearBlack));
  Send(toolbar(), "setBarTintColor:"_sel, platform::ColourWithComponents(kClearBlack));
  Send(toolbar(), "setBarStyle:"_sel, kUIBarStyleBlack);
  Send(navigationBar(), "setTitleTextAttributes:"_sel, titleAttributes);
  if (platform::SystemVersionIsAtLeast(11, 0, 0)) {
    Send(navigationBar(), "setLargeTitleTextAttributes:"_sel, titleAttributes);
  }
  Send(navigationBar(), "setBarStyle:"_sel, kUIBarStyleBlack);
  Send(controller, "setNeedsStatusBarAppearanceUpdate"_sel);
}

void ReplaceUITableViewControllerViewWillAppear(id controller, SEL, BOOL) {
  id mainBackground = LookUpColour(kMainBackground);
  Send(Send<id>(controller, "tableView"), "setBackgroundColor:"_sel, mainBackground);
}

}  // namespace umbravista
