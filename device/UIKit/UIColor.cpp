#include <atomic>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

enum ColorSpace : int { kRGBSpace, kGreySpace, kPatternSpace };

// A colour never changes after its initialiser, as on the platform, so any number of threads may
// read it at once; only the CGColor, made on first request, is written later, and atomically.
struct ColorState {
  ColorSpace space = kRGBSpace;
  CGFloat components[4] = {0, 0, 0, 0};  // red, green, blue, alpha; white, alpha for grey.
  id patternImage = nullptr;
  std::atomic<CGColorRef> cgColor{nullptr};  // Made on first request, owned by the colour.
};

ColorState*& State(id self) {
  return InstanceVariableOf<ColorState*>(self, "_state");
}

id Alloc(id cls) {
  return Message<id>(cls, "alloc");
}
id Autoreleased(id object) {
  return Message<id>(object, "autorelease");
}

id InitWithRed(id self, SEL selector, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
  RecordCall(self, selector,
             {TracedNumber(red), TracedNumber(green), TracedNumber(blue), TracedNumber(alpha)});
  State(self) = new ColorState{kRGBSpace, {red, green, blue, alpha}};
  return self;
}

id InitWithWhite(id self, SEL selector, CGFloat white, CGFloat alpha) {
  RecordCall(self, selector, {TracedNumber(white), TracedNumber(alpha)});
  State(self) = new ColorState{kGreySpace, {white, alpha, 0, 0}};
  return self;
}

id InitWithPatternImage(id self, SEL selector, id image) {
  RecordCall(self, selector, {TracedObject(image)});
  State(self) = new ColorState{kPatternSpace};
  State(self)->patternImage = Message<id>(image, "retain");
  return self;
}

id InitWithCGColor(id self, SEL selector, CGColorRef color) {
  RecordCall(self, selector, {TracedCGColor(color)});
  if (color == nullptr) {
    Message(self, "release");
    return nullptr;
  }
  const CGFloat* c = CGColorGetComponents(color);
  switch (CGColorGetColorSpaceModel(color)) {
    case kCGColorSpaceModelMonochrome:
      State(self) = new ColorState{kGreySpace, {c[0], c[1], 0, 0}};
      break;
    case kCGColorSpaceModelRGB:
      State(self) = new ColorState{kRGBSpace, {c[0], c[1], c[2], c[3]}};
      break;
    default:
      State(self) = new ColorState{kPatternSpace};
      break;
  }
  return self;
}

id ColorWithRed(id cls, SEL selector, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
  RecordCall(cls, selector,
             {TracedNumber(red), TracedNumber(green), TracedNumber(blue), TracedNumber(alpha)});
  PausedTrace quiet;
  return Autoreleased(InitWithRed(Alloc(cls), selector, red, green, blue, alpha));
}

id ColorWithWhite(id cls, SEL selector, CGFloat white, CGFloat alpha) {
  RecordCall(cls, selector, {TracedNumber(white), TracedNumber(alpha)});
  PausedTrace quiet;
  return Autoreleased(InitWithWhite(Alloc(cls), selector, white, alpha));
}

id ColorWithPatternImage(id cls, SEL selector, id image) {
  RecordCall(cls, selector, {TracedObject(image)});
  PausedTrace quiet;
  return Autoreleased(InitWithPatternImage(Alloc(cls), selector, image));
}

id ColorWithCGColor(id cls, SEL selector, CGColorRef color) {
  RecordCall(cls, selector, {TracedCGColor(color)});
  PausedTrace quiet;
  return Autoreleased(InitWithCGColor(Alloc(cls), selector, color));
}

// UIKit's named colours are grey colours, as on the platform.
id WhiteColor(id cls, SEL selector) {
  RecordCall(cls, selector);
  PausedTrace quiet;
  return Autoreleased(InitWithWhite(Alloc(cls), selector, 1.0, 1.0));
}

id BlackColor(id cls, SEL selector) {
  RecordCall(cls, selector);
  PausedTrace quiet;
  return Autoreleased(InitWithWhite(Alloc(cls), selector, 0.0, 1.0));
}

id ClearColor(id cls, SEL selector) {
  RecordCall(cls, selector);
  PausedTrace quiet;
  return Autoreleased(InitWithWhite(Alloc(cls), selector, 0.0, 0.0));
}

bool GetRed(id self, SEL selector, CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) {
  RecordCall(self, selector);
  const ColorState& state = *State(self);
  CGFloat rgba[4];
  switch (state.space) {
    case kRGBSpace:
      for (int i = 0; i < 4; ++i) rgba[i] = state.components[i];
      break;
    case kGreySpace:
      rgba[0] = rgba[1] = rgba[2] = state.components[0];
      rgba[3] = state.components[1];
      break;
    case kPatternSpace:
      return false;
  }
  CGFloat* places[4] = {red, green, blue, alpha};
  for (int i = 0; i < 4; ++i) {
    if (places[i] != nullptr) *places[i] = rgba[i];
  }
  return true;
}

// Exact equality: the same colour space and the same components, as the platform compares.
bool IsEqual(id self, SEL selector, id other) {
  RecordCall(self, selector, {TracedObject(other)});
  if (other == nullptr || !IsKindOf(other, "UIColor")) return false;
  const ColorState& a = *State(self);
  const ColorState& b = *State(other);
  if (a.space != b.space) return false;
  if (a.space == kPatternSpace) return a.patternImage == b.patternImage;
  for (int i = 0; i < 4; ++i) {
    if (a.components[i] != b.components[i]) return false;
  }
  return true;
}

CGColorRef NewCGColorFor(const ColorState& state) {
  const CGFloat* c = state.components;
  switch (state.space) {
    case kRGBSpace:
      return CGColorCreateSRGB(c[0], c[1], c[2], c[3]);
    case kGreySpace:
      return CGColorCreateGenericGray(c[0], c[1]);
    case kPatternSpace:
      break;
  }
  return CGColorCreatePattern();
}

// Threads asking at once may each make a CGColor; the first stored is the colour's for good, so
// every caller gets the same one, and the others are freed.
CGColorRef CGColorOf(id self, SEL selector) {
  RecordCall(self, selector);
  ColorState& state = *State(self);
  CGColorRef current = state.cgColor.load(std::memory_order_acquire);
  if (current != nullptr) return current;
  CGColorRef made = NewCGColorFor(state);
  if (state.cgColor.compare_exchange_strong(current, made, std::memory_order_acq_rel,
                                            std::memory_order_acquire)) {
    return made;  // NOLINT(clang-analyzer-osx.cocoa.RetainCount): the colour owns it from now on.
  }
  CGColorRelease(made);
  return current;
}

void Dealloc(id self, SEL) {
  if (ColorState* state = State(self)) {
    Message(state->patternImage, "release");
    CGColorRelease(state->cgColor.load(std::memory_order_acquire));
    delete state;
    State(self) = nullptr;
  }
  MessageSuper(self, objc_getClass("UIColor"), "dealloc");
}

}  // namespace

void RegisterUIColor() {
  DefineClass("UIColor", "NSObject", {{"_state", sizeof(void*), "^v"}}, [](Class cls) {
    AddClassMethod(cls, "colorWithRed:green:blue:alpha:", &ColorWithRed);
    AddClassMethod(cls, "colorWithWhite:alpha:", &ColorWithWhite);
    AddClassMethod(cls, "colorWithPatternImage:", &ColorWithPatternImage);
    AddClassMethod(cls, "colorWithCGColor:", &ColorWithCGColor);
    AddClassMethod(cls, "whiteColor", &WhiteColor);
    AddClassMethod(cls, "blackColor", &BlackColor);
    AddClassMethod(cls, "clearColor", &ClearColor);
    AddInstanceMethod(cls, "initWithRed:green:blue:alpha:", &InitWithRed);
    AddInstanceMethod(cls, "initWithWhite:alpha:", &InitWithWhite);
    AddInstanceMethod(cls, "initWithPatternImage:", &InitWithPatternImage);
    AddInstanceMethod(cls, "initWithCGColor:", &InitWithCGColor);
    AddInstanceMethod(cls, "getRed:green:blue:alpha:", &GetRed);
    AddInstanceMethod(cls, "isEqual:", &IsEqual);
    AddInstanceMethod(cls, "CGColor", &CGColorOf);
    AddInstanceMethod(cls, "dealloc", &Dealloc);
  });
}

id NewRGBColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
  PausedTrace quiet;
  return InitWithRed(Alloc(reinterpret_cast<id>(objc_getClass("UIColor"))), nullptr, red, green,
                     blue, alpha);
}

id NewGreyColor(CGFloat white, CGFloat alpha) {
  PausedTrace quiet;
  return InitWithWhite(Alloc(reinterpret_cast<id>(objc_getClass("UIColor"))), nullptr, white,
                       alpha);
}

id NewPatternColor() {
  PausedTrace quiet;
  id image = Message<id>(reinterpret_cast<id>(objc_getClass("NSObject")), "new");
  id color =
      InitWithPatternImage(Alloc(reinterpret_cast<id>(objc_getClass("UIColor"))), nullptr, image);
  Message(image, "release");
  return color;
}

std::optional<RGBA> ColorComponents(id color) {
  if (color == nullptr) return std::nullopt;
  PausedTrace quiet;
  RGBA rgba{};
  if (!GetRed(color, nullptr, &rgba.red, &rgba.green, &rgba.blue, &rgba.alpha)) {
    return std::nullopt;
  }
  return rgba;
}

std::string ColorText(id color) {
  return ObjectArgument(color).text;
}

}  // namespace device
