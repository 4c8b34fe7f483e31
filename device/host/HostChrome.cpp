#include <bit>
#include <map>
#include <string>
#include <vector>

#include "device/UIKit/ChromeDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/host/HostClasses.h"
#include "device/host/HostMethods.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// The host's views that draw their look with sub-views held in instance variables: comment
// composers with a rounded background image, buttons with a background and an icon, and the
// tooltip's two background halves. The library reaches these sub-views by key.
namespace device {

void RegisterHostNavigation(HostMethods& methods);
void RegisterHostCells(HostMethods& methods);

namespace {

struct HeldSubview {
  const char* variable;
  bool showsImage;           // Made of UIImageView where the system has it, else of UIView.
  const char* colourSetter;  // setBackgroundColor: or setTintColor:.
  unsigned colourRGB;
};

// Each holder's sub-views, by class name, in the order they are made and added.
const std::map<std::string, std::vector<HeldSubview>>& HeldSubviews() {
  static const std::map<std::string, std::vector<HeldSubview>> held = {
      {"IGCommentTextRedesignView",
       {{"_roundedBackgroundImageView", true, "setBackgroundColor:", kHostPaleGrey}}},
      {"IGFeedItemInlineComposerCell",
       {{"_roundedBackgroundImageView", true, "setBackgroundColor:", kHostPaleGrey}}},
      {"IGTextButton", {{"_backgroundView", false, "setBackgroundColor:", kHostWhite}}},
      {"IGButton", {{"_backgroundImageView", true, "setBackgroundColor:", kHostBlue}}},
      {"IGSettingsButton",
       {{"_imageView", true, "setTintColor:", kHostDarkGrey},
        {"_backgroundView", false, "setBackgroundColor:", kHostWhite}}},
      {"IGTooltipView",
       {{"_leftBackground", true, "setTintColor:", kHostBlue},
        {"_rightBackground", true, "setTintColor:", kHostBlue}}},
  };
  return held;
}

// Chosen once, at registration, from the classes the system has then.
std::string imageViewClass;

// The holder makes its sub-views with its host colours, out of the trace: the host building a view
// is not what a test looks for.
template <const char* kClassName>
id InitWithFrame(id self, SEL, CGRect frame) {
  self = MessageSuper<id>(self, objc_getClass(kClassName), "initWithFrame:", frame);
  PausedTrace quiet;
  for (const HeldSubview& held : HeldSubviews().at(kClassName)) {
    id subview = AttachSubviewVariable(self, held.variable,
                                       held.showsImage ? imageViewClass.c_str() : "UIView");
    id colour = NewHostColour(held.colourRGB);
    Message(subview, held.colourSetter, colour);
    Message(colour, "release");
  }
  return self;
}

// Each holder lays out its sub-views and then lets its superclass do the rest.
template <const char* kClassName>
void LayoutSubviews(id self, SEL selector) {
  RecordCall(self, selector);
  MessageSuper(self, objc_getClass(kClassName), "layoutSubviews");
}

template <const char* kClassName>
void Dealloc(id self, SEL) {
  for (const HeldSubview& held : HeldSubviews().at(kClassName)) {
    ReleaseInstanceVariable(self, held.variable);
  }
  MessageSuper(self, objc_getClass(kClassName), "dealloc");
}

// The class's instance variables come from its row of HeldSubviews, so that the variables and the
// sub-views made into them cannot disagree.
template <const char* kClassName>
void DefineHolder(HostMethods& methods, const char* superclassName) {
  Class cls = AllocateClass(kClassName, superclassName, {});
  if (cls == nullptr) return;
  for (const HeldSubview& held : HeldSubviews().at(kClassName)) {
    class_addIvar(cls, held.variable, sizeof(id), std::countr_zero(alignof(id)),
                  kEncodingOf<id>.text);
  }
  methods.AddInstance(cls, "initWithFrame:", &InitWithFrame<kClassName>);
  methods.AddInstance(cls, "layoutSubviews", &LayoutSubviews<kClassName>);
  methods.AddInstance(cls, "dealloc", &Dealloc<kClassName>);
  RegisterClass(cls);
}

constexpr char kCommentTextRedesignView[] = "IGCommentTextRedesignView";
constexpr char kFeedItemInlineComposerCell[] = "IGFeedItemInlineComposerCell";
constexpr char kTextButton[] = "IGTextButton";
constexpr char kButton[] = "IGButton";
constexpr char kSettingsButton[] = "IGSettingsButton";
constexpr char kTooltipView[] = "IGTooltipView";

}  // namespace

// The host's navigation controller, cells, buttons, tooltip and comment views.
void RegisterHostChrome(HostMethods& methods) {
  RegisterHostNavigation(methods);
  RegisterHostCells(methods);
  imageViewClass = ImageViewClassName();
  DefineHolder<kCommentTextRedesignView>(methods, "UIView");
  DefineHolder<kFeedItemInlineComposerCell>(methods, "UIView");
  DefineHolder<kTextButton>(methods, "UIButton");
  DefineHolder<kButton>(methods, "UIButton");
  DefineHolder<kSettingsButton>(methods, "UIButton");
  DefineHolder<kTooltipView>(methods, "UIView");
}

}  // namespace device
