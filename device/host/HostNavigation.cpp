#include "UIKit/UIKit.h"
#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/host/HostClasses.h"
#include "device/host/HostMethods.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// The host's navigation controller, which styles its own bars when it loads.
namespace device {
namespace {

constexpr long kUIBarStyleDefault = 0;

// A new dictionary naming black as the text colour, owned by the caller.
id NewBlackTitleAttributes() {
  id black = NewGreyColor(0.0, 1.0);
  id attributes = NewDictionary({{NSForegroundColorAttributeName, black}});
  Message(black, "release");
  return attributes;
}

// The host styles its bars before handing on to UIKit's loading, so that what runs in that
// loading (the library's replacement included) has the last word.
void ViewDidLoad(id self, SEL selector) {
  RecordCall(self, selector);
  id bar = Message<id>(self, "navigationBar");
  id tint = NewHostColour(kHostBlue);
  id title = NewBlackTitleAttributes();
  id largeTitle = NewBlackTitleAttributes();
  Message(bar, "setBarStyle:", kUIBarStyleDefault);
  Message(bar, "setTranslucent:", true);
  Message(bar, "setBarTintColor:", tint);
  Message(bar, "setTitleTextAttributes:", title);
  Message(bar, "setLargeTitleTextAttributes:", largeTitle);
  for (id made : {tint, title, largeTitle}) Message(made, "release");
  MessageSuper(self, objc_getClass("IGNavigationController"), "viewDidLoad");
}

}  // namespace

void RegisterHostNavigation(HostMethods& methods) {
  DefineClass("IGNavigationController", "UINavigationController", {},
              [&](Class cls) { methods.AddInstance(cls, "viewDidLoad", &ViewDidLoad); });
}

}  // namespace device
