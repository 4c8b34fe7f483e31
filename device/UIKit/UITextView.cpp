#include "device/UIKit/TextColorProperty.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

id& TextStorage(id self) {
  return InstanceVariableOf<id>(self, "_textStorage");
}

// A text view owns its storage from the start, empty.
id InitWithFrame(id self, SEL, CGRect frame) {
  self = MessageSuper<id>(self, objc_getClass("UITextView"), "initWithFrame:", frame);
  InitialiseTextColor(self);
  TextStorage(self) = NewTextStorage("");
  return self;
}

id GetTextStorage(id self, SEL selector) {
  RecordCall(self, selector);
  return TextStorage(self);
}

// UIKit's text view lays out its text first and then lets UIScrollView do the rest.
void LayoutSubviews(id self, SEL selector) {
  RecordCall(self, selector);
  MessageSuper(self, objc_getClass("UITextView"), "layoutSubviews");
}

void Dealloc(id self, SEL) {
  ReleaseTextColor(self);
  Message(TextStorage(self), "release");
  TextStorage(self) = nullptr;
  MessageSuper(self, objc_getClass("UITextView"), "dealloc");
}

}  // namespace

void RegisterUITextView() {
  DefineClass("UITextView", "UIScrollView", {kTextColorVariable, {"_textStorage", sizeof(id), "@"}},
              [](Class cls) {
                AddInstanceMethod(cls, "initWithFrame:", &InitWithFrame);
                AddTextColorMethods(cls);
                AddInstanceMethod(cls, "textStorage", &GetTextStorage);
                AddInstanceMethod(cls, "layoutSubviews", &LayoutSubviews);
                AddInstanceMethod(cls, "dealloc", &Dealloc);
              });
}

}  // namespace device
