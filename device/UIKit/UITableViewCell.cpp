#include "device/Foundation/Foundation.h"
#include "device/UIKit/ChromeDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// UITableViewCell, which holds a selection state and the view shown behind it while selected, and
// UITableViewCellSelectedBackground, UIKit's private view that draws that selection, with the
// colour it shows while the table selects several rows.
namespace device {
namespace {

id& SelectedBackgroundView(id self) {
  return InstanceVariableOf<id>(self, "_selectedBackgroundView");
}
bool& Selected(id self) {
  return InstanceVariableOf<bool>(self, "_selected");
}
id& MultiselectBackgroundColor(id self) {
  return InstanceVariableOf<id>(self, "_multiselectBackgroundColor");
}

id GetSelectedBackgroundView(id self, SEL selector) {
  RecordCall(self, selector);
  return SelectedBackgroundView(self);
}

void SetSelectedBackgroundView(id self, SEL selector, id view) {
  RecordCall(self, selector, {TracedObject(view)});
  StoreRetained(SelectedBackgroundView(self), view);
}

void SetSelectedAnimated(id self, SEL selector, bool selected, bool animated) {
  RecordCall(self, selector, {TracedBool(selected), TracedBool(animated)});
  Selected(self) = selected;
}

// UIKit's setSelected: is setSelected:animated: without animation, so that a replacement of the
// latter sees both.
void SetSelected(id self, SEL selector, bool selected) {
  RecordCall(self, selector, {TracedBool(selected)});
  Message(self, "setSelected:animated:", selected, false);
}

bool IsSelected(id self, SEL selector) {
  RecordCall(self, selector);
  return Selected(self);
}

void CellDealloc(id self, SEL) {
  Message(SelectedBackgroundView(self), "release");
  SelectedBackgroundView(self) = nullptr;
  MessageSuper(self, objc_getClass("UITableViewCell"), "dealloc");
}

id GetMultiselectBackgroundColor(id self, SEL selector) {
  RecordCall(self, selector);
  return MultiselectBackgroundColor(self);
}

void SetMultiselectBackgroundColor(id self, SEL selector, id color) {
  RecordCall(self, selector, {TracedObject(color)});
  StoreRetained(MultiselectBackgroundColor(self), color);
}

// The selection view lays out its own drawing and then lets UIView do the rest.
void SelectedBackgroundLayoutSubviews(id self, SEL selector) {
  RecordCall(self, selector);
  MessageSuper(self, objc_getClass("UITableViewCellSelectedBackground"), "layoutSubviews");
}

void SelectedBackgroundDealloc(id self, SEL) {
  Message(MultiselectBackgroundColor(self), "release");
  MultiselectBackgroundColor(self) = nullptr;
  MessageSuper(self, objc_getClass("UITableViewCellSelectedBackground"), "dealloc");
}

}  // namespace

void RegisterUITableViewCells() {
  DefineClass("UITableViewCell", "UIView",
              {{"_selectedBackgroundView", sizeof(id), "@"}, {"_selected", sizeof(bool), "C"}},
              [](Class cls) {
                AddInstanceMethod(cls, "selectedBackgroundView", &GetSelectedBackgroundView);
                AddInstanceMethod(cls, "setSelectedBackgroundView:", &SetSelectedBackgroundView);
                AddInstanceMethod(cls, "setSelected:animated:", &SetSelectedAnimated);
                AddInstanceMethod(cls, "setSelected:", &SetSelected);
                AddInstanceMethod(cls, "isSelected", &IsSelected);
                AddInstanceMethod(cls, "dealloc", &CellDealloc);
              });
  DefineClass(
      "UITableViewCellSelectedBackground", "UIView",
      {{"_multiselectBackgroundColor", sizeof(id), "@"}}, [](Class cls) {
        AddInstanceMethod(cls, "multiselectBackgroundColor", &GetMultiselectBackgroundColor);
        AddInstanceMethod(cls, "setMultiselectBackgroundColor:", &SetMultiselectBackgroundColor);
        AddInstanceMethod(cls, "layoutSubviews", &SelectedBackgroundLayoutSubviews);
        AddInstanceMethod(cls, "dealloc", &SelectedBackgroundDealloc);
      });
}

bool CellIsSelected(id cell) {
  return Selected(cell);
}

id SelectedBackgroundViewOf(id cell) {
  return SelectedBackgroundView(cell);
}

id MultiselectBackgroundColorOf(id view) {
  return MultiselectBackgroundColor(view);
}

}  // namespace device
