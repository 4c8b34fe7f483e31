#include "device/UIKit/TextColorProperty.h"

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

id& TextColor(id self) {
  return InstanceVariableOf<id>(self, "_textColor");
}

id GetTextColor(id self, SEL selector) {
  RecordCall(self, selector);
  return TextColor(self);
}

void SetTextColor(id self, SEL selector, id color) {
  RecordCall(self, selector, {TracedObject(color)});
  StoreRetained(TextColor(self), color);
}

}  // namespace

void AddTextColorMethods(Class cls) {
  AddInstanceMethod(cls, "textColor", &GetTextColor);
  AddInstanceMethod(cls, "setTextColor:", &SetTextColor);
}

void InitialiseTextColor(id view) {
  TextColor(view) = NewGreyColor(0.0, 1.0);
}

void ReleaseTextColor(id view) {
  Message(TextColor(view), "release");
  TextColor(view) = nullptr;
}

std::string TextColorText(id view) {
  PausedTrace quiet;
  return ColorText(Message<id>(view, "textColor"));
}

id StoredTextColor(id view) {
  return TextColor(view);
}

}  // namespace device
