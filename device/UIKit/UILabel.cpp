#include "device/Foundation/Foundation.h"
#include "device/UIKit/TextColorProperty.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

id& Text(id self) {
  return InstanceVariableOf<id>(self, "_text");
}

id InitWithFrame(id self, SEL, CGRect frame) {
  self = MessageSuper<id>(self, objc_getClass("UILabel"), "initWithFrame:", frame);
  InitialiseTextColor(self);
  return self;
}

id GetText(id self, SEL selector) {
  RecordCall(self, selector);
  return Text(self);
}

void SetText(id self, SEL selector, id text) {
  RecordCall(self, selector, {TracedObject(text)});
  StoreRetained(Text(self), text);
}

// UIKit's label lays out its text first and then lets UIView do the rest.
void LayoutSubviews(id self, SEL selector) {
  RecordCall(self, selector);
  MessageSuper(self, objc_getClass("UILabel"), "layoutSubviews");
}

void Dealloc(id self, SEL) {
  ReleaseTextColor(self);
  Message(Text(self), "release");
  Text(self) = nullptr;
  MessageSuper(self, objc_getClass("UILabel"), "dealloc");
}

}  // namespace

// UILabel, and UITextFieldLabel (the label inside a text field), which inherits all of it.
void RegisterUILabels() {
  DefineClass("UILabel", "UIView", {kTextColorVariable, {"_text", sizeof(id), "@"}}, [](Class cls) {
    AddInstanceMethod(cls, "initWithFrame:", &InitWithFrame);
    AddTextColorMethods(cls);
    AddInstanceMethod(cls, "text", &GetText);
    AddInstanceMethod(cls, "setText:", &SetText);
    AddInstanceMethod(cls, "layoutSubviews", &LayoutSubviews);
    AddInstanceMethod(cls, "dealloc", &Dealloc);
  });
  DefineClass("UITextFieldLabel", "UILabel", {}, [](Class) {});
}

}  // namespace device
