#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// The two status bars of the platform: UIStatusBar and the newer _UIStatusBar, unrelated classes
// that both draw their content in a foreground colour, black on a light screen.
namespace device {
namespace {

id& ForegroundColor(id self) {
  return InstanceVariableOf<id>(self, "_foregroundColor");
}

template <const char* kClassName>
id InitWithFrame(id self, SEL, CGRect frame) {
  self = MessageSuper<id>(self, objc_getClass(kClassName), "initWithFrame:", frame);
  ForegroundColor(self) = NewGreyColor(0.0, 1.0);
  return self;
}

id GetForegroundColor(id self, SEL selector) {
  RecordCall(self, selector);
  return ForegroundColor(self);
}

template <const char* kClassName>
void Dealloc(id self, SEL) {
  Message(ForegroundColor(self), "release");
  ForegroundColor(self) = nullptr;
  MessageSuper(self, objc_getClass(kClassName), "dealloc");
}

template <const char* kClassName>
void DefineStatusBar() {
  DefineClass(kClassName, "UIView", {{"_foregroundColor", sizeof(id), "@"}}, [](Class cls) {
    AddInstanceMethod(cls, "initWithFrame:", &InitWithFrame<kClassName>);
    AddInstanceMethod(cls, "foregroundColor", &GetForegroundColor);
    AddInstanceMethod(cls, "dealloc", &Dealloc<kClassName>);
  });
}

constexpr char kStatusBar[] = "UIStatusBar";
constexpr char kModernStatusBar[] = "_UIStatusBar";

}  // namespace

void RegisterUIStatusBars() {
  DefineStatusBar<kStatusBar>();
  DefineStatusBar<kModernStatusBar>();
}

}  // namespace device
