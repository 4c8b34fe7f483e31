#include "tools/preview/RenderImage.h"

#include <algorithm>

#include "device/CoreGraphics/BitmapDevice.h"
#include "device/runtime/Runtime.h"
#include "tools/preview/RenderColor.h"

namespace preview {
namespace {

constexpr long kTemplateRenderingMode = 2;

device::RGBA TintOf(id view) {
  return ComponentsOr(PaintOfColor(device::Message<id>(view, "tintColor")), kSystemBlue);
}

}  // namespace

void DrawImage(cairo_t* cairo, id image, CGRect rect, const device::RGBA& templateTint) {
  // The image's own bitmap, as UIKit draws it: no copy of the pixels is needed.
  cairo_surface_t* surface = device::CGImageSurface(device::Message<CGImageRef>(image, "CGImage"));
  if (surface == nullptr || rect.size.width <= 0 || rect.size.height <= 0) return;
  cairo_save(cairo);
  cairo_translate(cairo, rect.origin.x, rect.origin.y);
  cairo_scale(cairo, rect.size.width / cairo_image_surface_get_width(surface),
              rect.size.height / cairo_image_surface_get_height(surface));
  if (device::Message<long>(image, "renderingMode") == kTemplateRenderingMode) {
    SetSource(cairo, templateTint);
    cairo_mask_surface(cairo, surface, 0, 0);
  } else {
    cairo_set_source_surface(cairo, surface, 0, 0);
    cairo_paint(cairo);
  }
  cairo_restore(cairo);
}

void DrawImageViewImage(cairo_t* cairo, id imageView, CGSize size) {
  DrawImage(cairo, device::Message<id>(imageView, "image"), {{0, 0}, size}, TintOf(imageView));
}

void DrawButtonImage(cairo_t* cairo, id button, CGSize size) {
  id image = device::Message<id>(button, "currentImage");
  if (image == nullptr) return;
  const CGSize natural = device::Message<CGSize>(image, "size");
  if (natural.width <= 0 || natural.height <= 0) return;
  const CGFloat scale =
      std::min<CGFloat>({1, size.width / natural.width, size.height / natural.height});
  const CGSize shown{natural.width * scale, natural.height * scale};
  const CGRect rect{{(size.width - shown.width) / 2, (size.height - shown.height) / 2}, shown};
  DrawImage(cairo, image, rect, TintOf(button));
}

}  // namespace preview
