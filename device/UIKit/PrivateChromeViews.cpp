#include <string>

#include "device/UIKit/ChromeDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// UIKit's private views behind the status bar, navigation bars and blurs. Each lays out its own
// content and then lets UIView do the rest, so each has a layoutSubviews of its own.
namespace device {
namespace {

template <const char* kClassName>
void LayoutSubviews(id self, SEL selector) {
  RecordCall(self, selector);
  MessageSuper(self, objc_getClass(kClassName), "layoutSubviews");
}

// `addMore` adds the methods that the class has beyond its layout.
template <const char* kClassName>
void DefineChromeView(std::initializer_list<InstanceVariable> ivars = {},
                      void (*addMore)(Class) = nullptr) {
  DefineClass(kClassName, "UIView", ivars, [&](Class cls) {
    AddInstanceMethod(cls, "layoutSubviews", &LayoutSubviews<kClassName>);
    if (addMore != nullptr) addMore(cls);
  });
}

constexpr char kPrivateStatusBarBackground[] = "_UIStatusBarBackgroundView";
constexpr char kStatusBarBackground[] = "UIStatusBarBackgroundView";
constexpr char kStatusBarForeground[] = "_UIStatusBarForegroundView";
constexpr char kVisualEffectBackdrop[] = "_UIVisualEffectBackdropView";
constexpr char kNavigationBarContent[] = "_UINavigationBarContentView";
constexpr char kBarBackground[] = "_UIBarBackground";
constexpr char kBackgroundImageView[] = "_backgroundImageView";

// Chosen once, at registration, from the classes the system has then.
std::string barBackgroundImageClass;

// The bar's background shows its image in an image view of its own, made with the bar.
id BarBackgroundInitWithFrame(id self, SEL, CGRect frame) {
  self = MessageSuper<id>(self, objc_getClass(kBarBackground), "initWithFrame:", frame);
  AttachSubviewVariable(self, kBackgroundImageView, barBackgroundImageClass.c_str());
  return self;
}

void BarBackgroundDealloc(id self, SEL) {
  ReleaseInstanceVariable(self, kBackgroundImageView);
  MessageSuper(self, objc_getClass(kBarBackground), "dealloc");
}

}  // namespace

void RegisterPrivateChromeViews() {
  DefineChromeView<kPrivateStatusBarBackground>();
  DefineChromeView<kStatusBarBackground>();
  DefineChromeView<kStatusBarForeground>();
  DefineChromeView<kVisualEffectBackdrop>();
  DefineChromeView<kNavigationBarContent>();
  barBackgroundImageClass = ImageViewClassName();
  DefineChromeView<kBarBackground>({{kBackgroundImageView, sizeof(id), "@"}}, [](Class cls) {
    AddInstanceMethod(cls, "initWithFrame:", &BarBackgroundInitWithFrame);
    AddInstanceMethod(cls, "dealloc", &BarBackgroundDealloc);
  });
}

}  // namespace device
