#include "device/Foundation/Foundation.h"
#include "device/UIKit/GraphicsDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

id& Image(id self) {
  return InstanceVariableOf<id>(self, "_image");
}

id GetImage(id self, SEL selector) {
  RecordCall(self, selector);
  return Image(self);
}

void SetImage(id self, SEL selector, id image) {
  RecordCall(self, selector, {TracedObject(image)});
  StoreRetained(Image(self), image);
}

void Dealloc(id self, SEL) {
  Message(Image(self), "release");
  Image(self) = nullptr;
  MessageSuper(self, objc_getClass("UIImageView"), "dealloc");
}

}  // namespace

void RegisterUIImageView() {
  DefineClass("UIImageView", "UIView", {{"_image", sizeof(id), "@"}}, [](Class cls) {
    AddInstanceMethod(cls, "image", &GetImage);
    AddInstanceMethod(cls, "setImage:", &SetImage);
    AddInstanceMethod(cls, "dealloc", &Dealloc);
  });
}

id StoredImage(id imageView) {
  return imageView == nullptr ? nullptr : Image(imageView);
}

}  // namespace device
