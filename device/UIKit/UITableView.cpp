#include "device/UIKit/ChromeDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// UITableView, a scroll view that inherits its layout, and UITableViewController, a view
// controller whose view is its table view. viewWillAppear: is UIViewController's.
namespace device {
namespace {

constexpr CGRect kTableFrame{{0, 0}, {375, 667}};

// The controller makes its table view on first request and owns it from then on.
id OwnedTableView(id self) {
  id& tableView = InstanceVariableOf<id>(self, "_tableView");
  if (tableView == nullptr) tableView = NewView("UITableView", kTableFrame);
  return tableView;
}

id GetTableView(id self, SEL selector) {
  RecordCall(self, selector);
  return OwnedTableView(self);
}

// As on the platform, the controller's view is the table view itself.
id GetView(id self, SEL selector) {
  RecordCall(self, selector);
  id& view = InstanceVariableOf<id>(self, "_view");
  if (view == nullptr) view = Message<id>(OwnedTableView(self), "retain");
  return view;
}

void Dealloc(id self, SEL) {
  Message(InstanceVariableOf<id>(self, "_tableView"), "release");
  InstanceVariableOf<id>(self, "_tableView") = nullptr;
  MessageSuper(self, objc_getClass("UITableViewController"), "dealloc");
}

}  // namespace

void RegisterUITableViews() {
  DefineClass("UITableView", "UIScrollView", {}, [](Class) {});
  DefineClass("UITableViewController", "UIViewController", {{"_tableView", sizeof(id), "@"}},
              [](Class cls) {
                AddInstanceMethod(cls, "tableView", &GetTableView);
                AddInstanceMethod(cls, "view", &GetView);
                AddInstanceMethod(cls, "dealloc", &Dealloc);
              });
}

}  // namespace device
