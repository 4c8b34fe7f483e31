#include <map>

#include "device/UIKit/ChromeDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// UIButton: a control that shows an image chosen by its control state. The stand-in's buttons are
// always in the normal state (0), so the image shown is the normal state's.
namespace device {
namespace {

constexpr unsigned long kUIControlStateNormal = 0;

using ImagesByState = std::map<unsigned long, id>;  // Each image retained.

ImagesByState*& Images(id self) {
  return InstanceVariableOf<ImagesByState*>(self, "_imagesByState");
}

id InitWithFrame(id self, SEL, CGRect frame) {
  self = MessageSuper<id>(self, objc_getClass("UIButton"), "initWithFrame:", frame);
  Images(self) = new ImagesByState;
  return self;
}

// A state without an image of its own shows the normal state's, as on the platform.
id ImageFor(id self, unsigned long state) {
  const ImagesByState& images = *Images(self);
  auto found = images.find(state);
  if (found == images.end()) found = images.find(kUIControlStateNormal);
  return found == images.end() ? nullptr : found->second;
}

void SetImageForState(id self, SEL selector, id image, unsigned long state) {
  RecordCall(self, selector, {TracedObject(image), TracedNumber(static_cast<double>(state))});
  ImagesByState& images = *Images(self);
  Message(image, "retain");
  auto found = images.find(state);
  if (found != images.end()) {
    Message(found->second, "release");
    images.erase(found);
  }
  if (image != nullptr) images[state] = image;
}

id ImageForState(id self, SEL selector, unsigned long state) {
  RecordCall(self, selector, {TracedNumber(static_cast<double>(state))});
  return ImageFor(self, state);
}

id CurrentImage(id self, SEL selector) {
  RecordCall(self, selector);
  return ImageFor(self, kUIControlStateNormal);
}

void Dealloc(id self, SEL) {
  for (const auto& [state, image] : *Images(self)) Message(image, "release");
  delete Images(self);
  Images(self) = nullptr;
  MessageSuper(self, objc_getClass("UIButton"), "dealloc");
}

}  // namespace

void RegisterUIButton() {
  DefineClass("UIButton", "UIControl", {{"_imagesByState", sizeof(void*), "^v"}}, [](Class cls) {
    AddInstanceMethod(cls, "initWithFrame:", &InitWithFrame);
    AddInstanceMethod(cls, "setImage:forState:", &SetImageForState);
    AddInstanceMethod(cls, "imageForState:", &ImageForState);
    AddInstanceMethod(cls, "currentImage", &CurrentImage);
    AddInstanceMethod(cls, "dealloc", &Dealloc);
  });
}

id ButtonImageOf(id button, unsigned long state) {
  return ImageFor(button, state);
}

}  // namespace device
