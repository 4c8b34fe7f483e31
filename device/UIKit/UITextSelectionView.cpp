#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

id& CaretColor(id self) {
  return InstanceVariableOf<id>(self, "_caretColor");
}

// The caret starts in the platform's system blue.
id InitWithFrame(id self, SEL, CGRect frame) {
  self = MessageSuper<id>(self, objc_getClass("UITextSelectionView"), "initWithFrame:", frame);
  CaretColor(self) = NewRGBColor(0.0, 0.478, 1.0, 1.0);
  return self;
}

id GetCaretViewColor(id self, SEL selector) {
  RecordCall(self, selector);
  return CaretColor(self);
}

void Dealloc(id self, SEL) {
  Message(CaretColor(self), "release");
  CaretColor(self) = nullptr;
  MessageSuper(self, objc_getClass("UITextSelectionView"), "dealloc");
}

}  // namespace

void RegisterUITextSelectionView() {
  DefineClass("UITextSelectionView", "UIView", {{"_caretColor", sizeof(id), "@"}}, [](Class cls) {
    AddInstanceMethod(cls, "initWithFrame:", &InitWithFrame);
    AddInstanceMethod(cls, "caretViewColor", &GetCaretViewColor);
    AddInstanceMethod(cls, "dealloc", &Dealloc);
  });
}

}  // namespace device
