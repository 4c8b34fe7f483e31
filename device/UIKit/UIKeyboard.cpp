#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

id& Traits(id self) {
  return InstanceVariableOf<id>(self, "_textInputTraits");
}

void SetTextInputTraits(id self, SEL selector, id traits) {
  RecordCall(self, selector, {TracedObject(traits)});
  StoreRetained(Traits(self), traits);
}

id TextInputTraits(id self, SEL selector) {
  RecordCall(self, selector);
  return Traits(self);
}

// The keyboard takes its look from the text input it serves, as UIKit's keyboard asks the traits
// of the first responder each time it is shown.
long Appearance(id self, SEL selector) {
  RecordCall(self, selector);
  return Message<long>(Traits(self), "keyboardAppearance");
}

void Dealloc(id self, SEL) {
  Message(Traits(self), "release");
  Traits(self) = nullptr;
  MessageSuper(self, objc_getClass("UIKeyboard"), "dealloc");
}

}  // namespace

void RegisterUIKeyboard() {
  DefineClass("UIKeyboard", "UIView", {{"_textInputTraits", sizeof(id), "@"}}, [](Class cls) {
    AddInstanceMethod(cls, "setTextInputTraits:", &SetTextInputTraits);
    AddInstanceMethod(cls, "textInputTraits", &TextInputTraits);
    AddInstanceMethod(cls, "appearance", &Appearance);
    AddInstanceMethod(cls, "dealloc", &Dealloc);
  });
}

}  // namespace device
