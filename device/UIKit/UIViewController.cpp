#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

id& View(id self) {
  return InstanceVariableOf<id>(self, "_view");
}

// The platform makes a controller's view on first request, and the controller owns it.
id GetView(id self, SEL selector) {
  RecordCall(self, selector);
  if (View(self) == nullptr) View(self) = NewView("UIView");
  return View(self);
}

void ViewDidLoad(id self, SEL selector) {
  RecordCall(self, selector);
}

void ViewWillAppear(id self, SEL selector, bool animated) {
  RecordCall(self, selector, {TracedBool(animated)});
}

void SetNeedsStatusBarAppearanceUpdate(id self, SEL selector) {
  RecordCall(self, selector);
}

// UIStatusBarStyleDefault: dark content, meant for a light screen.
long PreferredStatusBarStyle(id self, SEL selector) {
  RecordCall(self, selector);
  return 0;
}

void Dealloc(id self, SEL) {
  Message(View(self), "release");
  View(self) = nullptr;
  MessageSuper(self, objc_getClass("UIViewController"), "dealloc");
}

}  // namespace

void RegisterUINavigationController();

void RegisterUIViewControllers() {
  DefineClass("UIViewController", "NSObject", {{"_view", sizeof(id), "@"}}, [](Class cls) {
    AddInstanceMethod(cls, "view", &GetView);
    AddInstanceMethod(cls, "viewDidLoad", &ViewDidLoad);
    AddInstanceMethod(cls, "viewWillAppear:", &ViewWillAppear);
    AddInstanceMethod(cls, "setNeedsStatusBarAppearanceUpdate", &SetNeedsStatusBarAppearanceUpdate);
    AddInstanceMethod(cls, "preferredStatusBarStyle", &PreferredStatusBarStyle);
    AddInstanceMethod(cls, "dealloc", &Dealloc);
  });
  RegisterUINavigationController();
}

}  // namespace device
