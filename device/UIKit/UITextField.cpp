#include "device/UIKit/TextColorProperty.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"

namespace device {
namespace {

id InitWithFrame(id self, SEL, CGRect frame) {
  self = MessageSuper<id>(self, objc_getClass("UITextField"), "initWithFrame:", frame);
  InitialiseTextColor(self);
  return self;
}

void Dealloc(id self, SEL) {
  ReleaseTextColor(self);
  MessageSuper(self, objc_getClass("UITextField"), "dealloc");
}

}  // namespace

// A text field holds a text colour as a label does and inherits UIView's layout.
void RegisterUITextField() {
  DefineClass("UITextField", "UIControl", {kTextColorVariable}, [](Class cls) {
    AddInstanceMethod(cls, "initWithFrame:", &InitWithFrame);
    AddTextColorMethods(cls);
    AddInstanceMethod(cls, "dealloc", &Dealloc);
  });
}

}  // namespace device
