#include "CoreGraphics/CoreGraphics.h"
#include "device/CoreGraphics/CoreGraphicsDevice.h"
#include "device/QuartzCore/QuartzCoreDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

CGColorRef& BorderColor(id self) {
  return InstanceVariableOf<CGColorRef>(self, "_borderColor");
}

// A new layer's border is opaque black, as on the platform.
id Init(id self, SEL) {
  BorderColor(self) = CGColorCreateGenericGray(0.0, 1.0);
  return self;
}

CGColorRef GetBorderColor(id self, SEL selector) {
  RecordCall(self, selector);
  return BorderColor(self);
}

void SetBorderColor(id self, SEL selector, CGColorRef color) {
  RecordCall(self, selector, {TracedCGColor(color)});
  CGColorRetain(color);
  CGColorRelease(BorderColor(self));
  BorderColor(self) = color;
}

CGFloat& BorderWidth(id self) {
  return InstanceVariableOf<CGFloat>(self, "_borderWidth");
}

CGFloat GetBorderWidth(id self, SEL selector) {
  RecordCall(self, selector);
  return BorderWidth(self);
}

void SetBorderWidth(id self, SEL selector, CGFloat width) {
  RecordCall(self, selector, {TracedNumber(width)});
  BorderWidth(self) = width;
}

void Dealloc(id self, SEL) {
  CGColorRelease(BorderColor(self));
  BorderColor(self) = nullptr;
  MessageSuper(self, objc_getClass("CALayer"), "dealloc");
}

}  // namespace

void RegisterQuartzCore() {
  DefineClass("CALayer", "NSObject",
              {{"_borderColor", sizeof(void*), "^v"},
               {"_borderWidth", sizeof(CGFloat), kEncodingOf<CGFloat>.text}},
              [](Class cls) {
                AddInstanceMethod(cls, "init", &Init);
                AddInstanceMethod(cls, "borderColor", &GetBorderColor);
                AddInstanceMethod(cls, "setBorderColor:", &SetBorderColor);
                AddInstanceMethod(cls, "borderWidth", &GetBorderWidth);
                AddInstanceMethod(cls, "setBorderWidth:", &SetBorderWidth);
                AddInstanceMethod(cls, "dealloc", &Dealloc);
              });
}

}  // namespace device
