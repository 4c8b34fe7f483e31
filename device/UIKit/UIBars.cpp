#include "device/Foundation/Foundation.h"
#include "device/UIKit/ChromeDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// The bars that a navigation controller shows: UINavigationBar at the top and UIToolbar at the
// bottom. Each holds a style, a tint and (the navigation bar) translucency and title attributes.
namespace device {
namespace {

id& ObjectField(id self, const char* name) {
  return InstanceVariableOf<id>(self, name);
}
long& BarStyle(id self) {
  return InstanceVariableOf<long>(self, "_barStyle");
}
bool& Translucent(id self) {
  return InstanceVariableOf<bool>(self, "_translucent");
}

// The platform's navigation bar is translucent until told otherwise.
id NavigationBarInitWithFrame(id self, SEL, CGRect frame) {
  self = MessageSuper<id>(self, objc_getClass("UINavigationBar"), "initWithFrame:", frame);
  Translucent(self) = true;
  return self;
}

long GetBarStyle(id self, SEL selector) {
  RecordCall(self, selector);
  return BarStyle(self);
}

void SetBarStyle(id self, SEL selector, long style) {
  RecordCall(self, selector, {TracedNumber(static_cast<double>(style))});
  BarStyle(self) = style;
}

bool IsTranslucent(id self, SEL selector) {
  RecordCall(self, selector);
  return Translucent(self);
}

void SetTranslucent(id self, SEL selector, bool translucent) {
  RecordCall(self, selector, {TracedBool(translucent)});
  Translucent(self) = translucent;
}

// One getter and one retaining setter per object property; the template parameter names the
// instance variable, so that each property is two lines at registration.
template <const char* kVariable>
id GetObject(id self, SEL selector) {
  RecordCall(self, selector);
  return ObjectField(self, kVariable);
}

template <const char* kVariable>
void SetObject(id self, SEL selector, id value) {
  RecordCall(self, selector, {TracedObject(value)});
  StoreRetained(ObjectField(self, kVariable), value);
}

constexpr char kBarTintColor[] = "_barTintColor";
constexpr char kTitleTextAttributes[] = "_titleTextAttributes";
constexpr char kLargeTitleTextAttributes[] = "_largeTitleTextAttributes";

void ReleaseObject(id self, const char* variable) {
  Message(ObjectField(self, variable), "release");
  ObjectField(self, variable) = nullptr;
}

void NavigationBarDealloc(id self, SEL) {
  ReleaseObject(self, kBarTintColor);
  ReleaseObject(self, kTitleTextAttributes);
  ReleaseObject(self, kLargeTitleTextAttributes);
  MessageSuper(self, objc_getClass("UINavigationBar"), "dealloc");
}

void ToolbarDealloc(id self, SEL) {
  ReleaseObject(self, kBarTintColor);
  MessageSuper(self, objc_getClass("UIToolbar"), "dealloc");
}

void AddBarStyleAndTint(Class cls) {
  AddInstanceMethod(cls, "barStyle", &GetBarStyle);
  AddInstanceMethod(cls, "setBarStyle:", &SetBarStyle);
  AddInstanceMethod(cls, "barTintColor", &GetObject<kBarTintColor>);
  AddInstanceMethod(cls, "setBarTintColor:", &SetObject<kBarTintColor>);
}

}  // namespace

void RegisterUIBars() {
  DefineClass("UINavigationBar", "UIView",
              {{"_barStyle", sizeof(long), kEncodingOf<long>.text},
               {"_translucent", sizeof(bool), "C"},
               {kBarTintColor, sizeof(id), "@"},
               {kTitleTextAttributes, sizeof(id), "@"},
               {kLargeTitleTextAttributes, sizeof(id), "@"}},
              [](Class cls) {
                AddInstanceMethod(cls, "initWithFrame:", &NavigationBarInitWithFrame);
                AddBarStyleAndTint(cls);
                AddInstanceMethod(cls, "isTranslucent", &IsTranslucent);
                AddInstanceMethod(cls, "setTranslucent:", &SetTranslucent);
                AddInstanceMethod(cls, "titleTextAttributes", &GetObject<kTitleTextAttributes>);
                AddInstanceMethod(cls, "setTitleTextAttributes:", &SetObject<kTitleTextAttributes>);
                AddInstanceMethod(cls, "largeTitleTextAttributes",
                                  &GetObject<kLargeTitleTextAttributes>);
                AddInstanceMethod(
                    cls, "setLargeTitleTextAttributes:", &SetObject<kLargeTitleTextAttributes>);
                AddInstanceMethod(cls, "dealloc", &NavigationBarDealloc);
              });
  DefineClass(
      "UIToolbar", "UIView",
      {{"_barStyle", sizeof(long), kEncodingOf<long>.text}, {kBarTintColor, sizeof(id), "@"}},
      [](Class cls) {
        AddBarStyleAndTint(cls);
        AddInstanceMethod(cls, "dealloc", &ToolbarDealloc);
      });
}

BarState BarStateOf(id bar) {
  BarState state;
  if (bar == nullptr) return state;
  state.barStyle = BarStyle(bar);
  state.barTintColor = ColorText(ObjectField(bar, kBarTintColor));
  // Only the navigation bar holds translucency and title attributes.
  if (IsKindOf(bar, "UINavigationBar")) {
    state.translucent = Translucent(bar);
    state.titleTextAttributes = ObjectField(bar, kTitleTextAttributes);
    state.largeTitleTextAttributes = ObjectField(bar, kLargeTitleTextAttributes);
  }
  state.titleAttributesShared = state.titleTextAttributes != nullptr &&
                                state.titleTextAttributes == state.largeTitleTextAttributes;
  return state;
}

}  // namespace device
