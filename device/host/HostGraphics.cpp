#include "device/host/HostMethods.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

// React Native's image view takes its image and hands it on to UIImageView.
void ImageViewSetImage(id self, SEL selector, id image) {
  RecordCall(self, selector, {TracedObject(image)});
  MessageSuper(self, objc_getClass("RCTImageView"), "setImage:", image);
}

// The host's button bar places its buttons and then lets UIView do the rest.
void ButtonBarLayoutSubviews(id self, SEL selector) {
  RecordCall(self, selector);
  MessageSuper(self, objc_getClass("IGUFIButtonBarView"), "layoutSubviews");
}

}  // namespace

// The host's React Native image view and its button bar under posts.
void RegisterHostGraphics(HostMethods& methods) {
  DefineClass("RCTImageView", "UIImageView", {},
              [&](Class cls) { methods.AddInstance(cls, "setImage:", &ImageViewSetImage); });
  DefineClass("IGUFIButtonBarView", "UIView", {}, [&](Class cls) {
    methods.AddInstance(cls, "layoutSubviews", &ButtonBarLayoutSubviews);
  });
}

}  // namespace device
