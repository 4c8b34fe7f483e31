#include "device/Foundation/Foundation.h"
#include "device/UIKit/TextColorProperty.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/host/HostClasses.h"
#include "device/host/HostMethods.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// The host's own text views: the growing text view of its comment composer, and React Native's
// text views, which draw a text storage that React Native lays out elsewhere.
namespace device {
namespace {

id GrowingTextViewInitWithFrame(id self, SEL, CGRect frame) {
  self = MessageSuper<id>(self, objc_getClass("IGGrowingTextView"), "initWithFrame:", frame);
  InitialiseTextColor(self);
  return self;
}

// The growing text view sizes itself to its text first and then lets UIView do the rest.
void GrowingTextViewLayoutSubviews(id self, SEL selector) {
  RecordCall(self, selector);
  MessageSuper(self, objc_getClass("IGGrowingTextView"), "layoutSubviews");
}

void GrowingTextViewDealloc(id self, SEL) {
  ReleaseTextColor(self);
  MessageSuper(self, objc_getClass("IGGrowingTextView"), "dealloc");
}

id& TextStorage(id self) {
  return InstanceVariableOf<id>(self, "_textStorage");
}

// React Native hands the view a laid-out storage, the frame to draw it in and the views embedded
// in the text; the view keeps the storage and the frame.
void SetTextStorage(id self, SEL selector, id storage, CGRect contentFrame, id descendantViews) {
  RecordCall(self, selector,
             {TracedObject(storage), TracedRect(contentFrame), TracedObject(descendantViews)});
  StoreRetained(TextStorage(self), storage);
  InstanceVariableOf<CGRect>(self, "_contentFrame") = contentFrame;
}

id GetTextStorage(id self, SEL selector) {
  RecordCall(self, selector);
  return TextStorage(self);
}

void TextViewDealloc(id self, SEL) {
  Message(TextStorage(self), "release");
  TextStorage(self) = nullptr;
  MessageSuper(self, objc_getClass("RCTTextView"), "dealloc");
}

void TextDidChange(id self, SEL selector) {
  RecordCall(self, selector);
}

}  // namespace

void RegisterHostTextViews(HostMethods& methods) {
  DefineClass("IGGrowingTextView", "UIView", {kTextColorVariable}, [&](Class cls) {
    methods.AddInstance(cls, "initWithFrame:", &GrowingTextViewInitWithFrame);
    AddTextColorMethods(cls);
    methods.AddInstance(cls, "layoutSubviews", &GrowingTextViewLayoutSubviews);
    methods.AddInstance(cls, "dealloc", &GrowingTextViewDealloc);
  });
  DefineClass("RCTTextView", "UIView",
              {{"_textStorage", sizeof(id), "@"},
               {"_contentFrame", sizeof(CGRect), kEncodingOf<CGRect>.text}},
              [&](Class cls) {
                methods.AddInstance(
                    cls, "setTextStorage:contentFrame:descendantViews:", &SetTextStorage);
                methods.AddInstance(cls, "textStorage", &GetTextStorage);
                methods.AddInstance(cls, "dealloc", &TextViewDealloc);
              });
  DefineClass("RCTUITextView", "UITextView", {},
              [&](Class cls) { methods.AddInstance(cls, "textDidChange", &TextDidChange); });
}

CGRect ContentFrameOf(id textView) {
  return InstanceVariableOf<CGRect>(textView, "_contentFrame");
}

}  // namespace device
