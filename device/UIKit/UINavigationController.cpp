#include "device/Foundation/Foundation.h"
#include "device/UIKit/ChromeDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// UINavigationController: a view controller that owns a navigation bar and a toolbar. Its
// viewDidLoad is UIViewController's.
namespace device {
namespace {

constexpr CGRect kNavigationBarFrame{{0, 20}, {375, 44}};
constexpr CGRect kToolbarFrame{{0, 618}, {375, 49}};

// The controller makes each bar on first request and owns it from then on, so that every request
// answers the same bar.
id& OwnedBar(id self, const char* variable, const char* barClass, CGRect frame) {
  id& bar = InstanceVariableOf<id>(self, variable);
  if (bar == nullptr) bar = NewView(barClass, frame);
  return bar;
}

id GetNavigationBar(id self, SEL selector) {
  RecordCall(self, selector);
  return OwnedBar(self, "_navigationBar", "UINavigationBar", kNavigationBarFrame);
}

id GetToolbar(id self, SEL selector) {
  RecordCall(self, selector);
  return OwnedBar(self, "_toolbar", "UIToolbar", kToolbarFrame);
}

void Dealloc(id self, SEL) {
  for (const char* name : {"_navigationBar", "_toolbar"}) {
    Message(InstanceVariableOf<id>(self, name), "release");
    InstanceVariableOf<id>(self, name) = nullptr;
  }
  MessageSuper(self, objc_getClass("UINavigationController"), "dealloc");
}

}  // namespace

void RegisterUINavigationController() {
  DefineClass("UINavigationController", "UIViewController",
              {{"_navigationBar", sizeof(id), "@"}, {"_toolbar", sizeof(id), "@"}}, [](Class cls) {
                AddInstanceMethod(cls, "navigationBar", &GetNavigationBar);
                AddInstanceMethod(cls, "toolbar", &GetToolbar);
                AddInstanceMethod(cls, "dealloc", &Dealloc);
              });
}

id NewNavigationController(const char* className) {
  return NewObject(className);
}

BarState NavigationBarStateOf(id controller) {
  PausedTrace quiet;
  return BarStateOf(Message<id>(controller, "navigationBar"));
}

BarState ToolbarStateOf(id controller) {
  PausedTrace quiet;
  return BarStateOf(Message<id>(controller, "toolbar"));
}

}  // namespace device
