#include <stdexcept>

#include "UIKit/UIKit.h"
#include "device/UIKit/GraphicsDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

CGImageRef& Bitmap(id self) {
  return InstanceVariableOf<CGImageRef>(self, "_CGImage");
}
CGFloat& Scale(id self) {
  return InstanceVariableOf<CGFloat>(self, "_scale");
}
long& RenderingMode(id self) {
  return InstanceVariableOf<long>(self, "_renderingMode");
}

// A new image of the class `cls` sharing `bitmap`, which it holds a reference to.
id NewImageOfClass(id cls, CGImageRef bitmap, CGFloat scale, long renderingMode) {
  id image = Message<id>(Message<id>(cls, "alloc"), "init");
  Bitmap(image) = CGImageRetain(bitmap);
  Scale(image) = scale;
  RenderingMode(image) = renderingMode;
  return image;
}

id Init(id self, SEL) {
  Scale(self) = 1.0;
  return self;
}

CGSize GetSize(id self, SEL selector) {
  RecordCall(self, selector);
  return {static_cast<CGFloat>(CGImagePixelWidth(Bitmap(self))) / Scale(self),
          static_cast<CGFloat>(CGImagePixelHeight(Bitmap(self))) / Scale(self)};
}

CGFloat GetScale(id self, SEL selector) {
  RecordCall(self, selector);
  return Scale(self);
}

CGImageRef GetCGImage(id self, SEL selector) {
  RecordCall(self, selector);
  return Bitmap(self);
}

long GetRenderingMode(id self, SEL selector) {
  RecordCall(self, selector);
  return RenderingMode(self);
}

id ImageWithRenderingMode(id self, SEL selector, long renderingMode) {
  RecordCall(self, selector, {TracedNumber(static_cast<double>(renderingMode))});
  PausedTrace quiet;
  id image = NewImageOfClass(reinterpret_cast<id>(object_getClass(self)), Bitmap(self), Scale(self),
                             renderingMode);
  return Message<id>(image, "autorelease");
}

// Upright in UIKit's coordinates: the image's top row along the rectangle's top edge.
void DrawInRect(id self, SEL selector, CGRect rect) {
  RecordCall(self, selector, {TracedRect(rect)});
  DrawImageUpright(CurrentImageContext(), rect, Bitmap(self));
}

void Dealloc(id self, SEL) {
  CGImageRelease(Bitmap(self));
  Bitmap(self) = nullptr;
  MessageSuper(self, objc_getClass("UIImage"), "dealloc");
}

}  // namespace

void RegisterUIImage() {
  DefineClass("UIImage", "NSObject",
              {{"_CGImage", sizeof(CGImageRef), "^v"},
               {"_scale", sizeof(CGFloat), kEncodingOf<CGFloat>.text},
               {"_renderingMode", sizeof(long), kEncodingOf<long>.text}},
              [](Class cls) {
                AddInstanceMethod(cls, "init", &Init);
                AddInstanceMethod(cls, "size", &GetSize);
                AddInstanceMethod(cls, "scale", &GetScale);
                AddInstanceMethod(cls, "CGImage", &GetCGImage);
                AddInstanceMethod(cls, "renderingMode", &GetRenderingMode);
                AddInstanceMethod(cls, "imageWithRenderingMode:", &ImageWithRenderingMode);
                AddInstanceMethod(cls, "drawInRect:", &DrawInRect);
                AddInstanceMethod(cls, "dealloc", &Dealloc);
              });
}

id NewImageWithCGImage(CGImageRef image, CGFloat scale, long renderingMode) {
  if (image == nullptr || !(scale > 0)) {
    throw std::invalid_argument("a UIImage needs a bitmap and a positive scale");
  }
  PausedTrace quiet;
  return NewImageOfClass(reinterpret_cast<id>(objc_getClass("UIImage")), image, scale,
                         renderingMode);
}

id NewImageFromPixels(unsigned long width, unsigned long height, CGFloat scale,
                      const std::vector<std::uint32_t>& pixels) {
  if (!(scale > 0)) throw std::invalid_argument("a UIImage needs a positive scale");
  CGImageRef bitmap = NewCGImageFromPixels(width, height, pixels);
  id image = NewImageWithCGImage(bitmap, scale);
  CGImageRelease(bitmap);
  return image;
}

id NewSolidImage(unsigned long width, unsigned long height, CGFloat scale, std::uint32_t argb) {
  return NewImageFromPixels(width, height, scale, std::vector<std::uint32_t>(width * height, argb));
}

std::vector<std::uint32_t> ImagePixels(id image) {
  return image == nullptr ? std::vector<std::uint32_t>{} : CGImagePixels(Bitmap(image));
}

unsigned long ImagePixelWidth(id image) {
  return image == nullptr ? 0 : CGImagePixelWidth(Bitmap(image));
}

unsigned long ImagePixelHeight(id image) {
  return image == nullptr ? 0 : CGImagePixelHeight(Bitmap(image));
}

}  // namespace device
