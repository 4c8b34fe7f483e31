#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

// UIKit names this instance variable without the usual underscore.
long& KeyboardAppearance(id self) {
  return InstanceVariableOf<long>(self, "keyboardAppearance");
}

long GetKeyboardAppearance(id self, SEL selector) {
  RecordCall(self, selector);
  return KeyboardAppearance(self);
}

void SetKeyboardAppearance(id self, SEL selector, long appearance) {
  RecordCall(self, selector, {TracedNumber(static_cast<double>(appearance))});
  KeyboardAppearance(self) = appearance;
}

}  // namespace

// The traits of a text input; a new one has the default keyboard appearance, 0, since the
// runtime zeroes a new instance.
void RegisterUITextInputTraits() {
  DefineClass("UITextInputTraits", "NSObject",
              {{"keyboardAppearance", sizeof(long), kEncodingOf<long>.text}}, [](Class cls) {
                AddInstanceMethod(cls, "keyboardAppearance", &GetKeyboardAppearance);
                AddInstanceMethod(cls, "setKeyboardAppearance:", &SetKeyboardAppearance);
              });
}

}  // namespace device
