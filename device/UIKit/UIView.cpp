#include <algorithm>
#include <vector>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

template <typename T>
T& Field(id self, const char* name) {
  return InstanceVariableOf<T>(self, name);
}
CGRect& Frame(id self) {
  return Field<CGRect>(self, "_frame");
}
id& BackgroundColor(id self) {
  return Field<id>(self, "_backgroundColor");
}
id& TintColor(id self) {
  return Field<id>(self, "_tintColor");
}
id& Layer(id self) {
  return Field<id>(self, "_layer");
}
id& Superview(id self) {
  return Field<id>(self, "_superview");
}
std::vector<id>*& Subviews(id self) {
  return Field<std::vector<id>*>(self, "_subviews");
}

id InitWithFrame(id self, SEL, CGRect frame) {
  Frame(self) = frame;
  Subviews(self) = new std::vector<id>;
  Layer(self) =
      Message<id>(Message<id>(reinterpret_cast<id>(objc_getClass("CALayer")), "alloc"), "init");
  return self;
}

id Init(id self, SEL) {
  return Message<id>(self, "initWithFrame:", CGRect{});
}

CGRect GetFrame(id self, SEL selector) {
  RecordCall(self, selector);
  return Frame(self);
}

void SetFrame(id self, SEL selector, CGRect frame) {
  RecordCall(self, selector, {TracedRect(frame)});
  Frame(self) = frame;
}

id GetBackgroundColor(id self, SEL selector) {
  RecordCall(self, selector);
  return BackgroundColor(self);
}

void SetBackgroundColor(id self, SEL selector, id color) {
  RecordCall(self, selector, {TracedObject(color)});
  StoreRetained(BackgroundColor(self), color);
}

id GetLayer(id self, SEL selector) {
  RecordCall(self, selector);
  return Layer(self);
}

void LayoutSubviews(id self, SEL selector) {
  RecordCall(self, selector);
}

// The platform answers a copy of the subviews, so that a caller may change the tree while walking
// what it was given.
id GetSubviews(id self, SEL selector) {
  RecordCall(self, selector);
  id array = NewArray(*Subviews(self));
  return Message<id>(array, "autorelease");
}

void Detach(id view) {
  id superview = Superview(view);
  if (superview == nullptr) return;
  std::vector<id>& siblings = *Subviews(superview);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), view), siblings.end());
  Superview(view) = nullptr;
  Message(view, "release");
}

void AddSubview(id self, SEL selector, id view) {
  RecordCall(self, selector, {TracedObject(view)});
  if (view == nullptr || view == self) return;
  Message(view, "retain");
  Detach(view);
  Subviews(self)->push_back(view);
  Superview(view) = self;
}

void RemoveFromSuperview(id self, SEL selector) {
  RecordCall(self, selector);
  Detach(self);
}

id GetSuperview(id self, SEL selector) {
  RecordCall(self, selector);
  return Superview(self);
}

void SetHidden(id self, SEL selector, bool hidden) {
  RecordCall(self, selector, {TracedBool(hidden)});
  Field<bool>(self, "_hidden") = hidden;
}

bool IsHidden(id self, SEL selector) {
  RecordCall(self, selector);
  return Field<bool>(self, "_hidden");
}

long GetTag(id self, SEL selector) {
  RecordCall(self, selector);
  return Field<long>(self, "_tag");
}

void SetTag(id self, SEL selector, long tag) {
  RecordCall(self, selector, {TracedNumber(static_cast<double>(tag))});
  Field<long>(self, "_tag") = tag;
}

// A view without a tint of its own shows its superview's, as on the platform.
id GetTintColor(id self, SEL selector) {
  RecordCall(self, selector);
  PausedTrace quiet;
  for (id view = self; view != nullptr; view = Superview(view)) {
    if (TintColor(view) != nullptr) return TintColor(view);
  }
  return nullptr;
}

void SetTintColor(id self, SEL selector, id color) {
  RecordCall(self, selector, {TracedObject(color)});
  StoreRetained(TintColor(self), color);
}

void Dealloc(id self, SEL) {
  for (id view : std::vector<id>(*Subviews(self))) Detach(view);
  delete Subviews(self);
  Subviews(self) = nullptr;
  Message(BackgroundColor(self), "release");
  Message(TintColor(self), "release");
  Message(Layer(self), "release");
  MessageSuper(self, objc_getClass("UIView"), "dealloc");
}

// UIScrollView lays out its own content and then lets UIView do the rest.
void ScrollViewLayoutSubviews(id self, SEL selector) {
  RecordCall(self, selector);
  MessageSuper(self, objc_getClass("UIScrollView"), "layoutSubviews");
}

}  // namespace

void RegisterUIView() {
  DefineClass("UIView", "NSObject",
              {{"_frame", sizeof(CGRect), kEncodingOf<CGRect>.text},
               {"_backgroundColor", sizeof(id), "@"},
               {"_tintColor", sizeof(id), "@"},
               {"_layer", sizeof(id), "@"},
               {"_superview", sizeof(id), "@"},
               {"_subviews", sizeof(void*), "^v"},
               {"_tag", sizeof(long), kEncodingOf<long>.text},
               {"_hidden", sizeof(bool), "C"}},
              [](Class cls) {
                AddInstanceMethod(cls, "init", &Init);
                AddInstanceMethod(cls, "initWithFrame:", &InitWithFrame);
                AddInstanceMethod(cls, "frame", &GetFrame);
                AddInstanceMethod(cls, "setFrame:", &SetFrame);
                AddInstanceMethod(cls, "backgroundColor", &GetBackgroundColor);
                AddInstanceMethod(cls, "setBackgroundColor:", &SetBackgroundColor);
                AddInstanceMethod(cls, "layer", &GetLayer);
                AddInstanceMethod(cls, "layoutSubviews", &LayoutSubviews);
                AddInstanceMethod(cls, "subviews", &GetSubviews);
                AddInstanceMethod(cls, "addSubview:", &AddSubview);
                AddInstanceMethod(cls, "removeFromSuperview", &RemoveFromSuperview);
                AddInstanceMethod(cls, "superview", &GetSuperview);
                AddInstanceMethod(cls, "setHidden:", &SetHidden);
                AddInstanceMethod(cls, "isHidden", &IsHidden);
                AddInstanceMethod(cls, "tag", &GetTag);
                AddInstanceMethod(cls, "setTag:", &SetTag);
                AddInstanceMethod(cls, "tintColor", &GetTintColor);
                AddInstanceMethod(cls, "setTintColor:", &SetTintColor);
                AddInstanceMethod(cls, "dealloc", &Dealloc);
              });
  DefineClass("UIControl", "UIView", {}, [](Class) {});
  DefineClass("UIScrollView", "UIView", {}, [](Class cls) {
    AddInstanceMethod(cls, "layoutSubviews", &ScrollViewLayoutSubviews);
  });
}

id NewView(const char* className, CGRect frame) {
  PausedTrace quiet;
  id view = Message<id>(reinterpret_cast<id>(objc_getClass(className)), "alloc");
  return Message<id>(view, "initWithFrame:", frame);
}

void LayoutTree(id view) {
  if (view == nullptr) return;
  Message(view, "layoutSubviews");
  // A layout pass may detach subviews (and so free them); hold them for the walk.
  std::vector<id> subviews(*Subviews(view));
  for (id subview : subviews) Message(subview, "retain");
  for (id subview : subviews) LayoutTree(subview);
  for (id subview : subviews) Message(subview, "release");
}

}  // namespace device
