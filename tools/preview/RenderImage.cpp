#include "tools/preview/RenderImage.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "device/UIKit/GraphicsDevice.h"
#include "device/runtime/Runtime.h"
#include "tools/preview/RenderColor.h"

namespace preview {
namespace {

constexpr long kTemplateRenderingMode = 2;

// Cairo wants premultiplied pixels with its own row stride; the image gives straight ones.
cairo_surface_t* NewSurfaceOfImage(id image) {
  const unsigned long width = device::ImagePixelWidth(image);
  const unsigned long height = device::ImagePixelHeight(image);
  const std::vector<std::uint32_t> pixels = device::ImagePixels(image);
  cairo_surface_t* surface = cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height));
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (unsigned long row = 0; row < height; ++row) {
    auto* out = reinterpret_cast<std::uint32_t*>(data + row * stride);
    for (unsigned long column = 0; column < width; ++column) {
      const std::uint32_t argb = pixels[row * width + column];
      const std::uint32_t alpha = argb >> 24;
      auto premultiplied = [&](int shift) {
        return (((argb >> shift) & 0xFF) * alpha + 127) / 255;
      };
      out[column] =
          (alpha << 24) | (premultiplied(16) << 16) | (premultiplied(8) << 8) | premultiplied(0);
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

device::RGBA TintOf(id view) {
  return ComponentsOr(PaintOfColor(device::Message<id>(view, "tintColor")), kSystemBlue);
}

}  // namespace

void DrawImage(cairo_t* cairo, id image, CGRect rect, const device::RGBA& templateTint) {
  if (image == nullptr || device::ImagePixelWidth(image) == 0) return;
  if (rect.size.width <= 0 || rect.size.height <= 0) return;
  cairo_surface_t* surface = NewSurfaceOfImage(image);
  cairo_save(cairo);
  cairo_translate(cairo, rect.origin.x, rect.origin.y);
  cairo_scale(cairo, rect.size.width / device::ImagePixelWidth(image),
              rect.size.height / device::ImagePixelHeight(image));
  if (device::Message<long>(image, "renderingMode") == kTemplateRenderingMode) {
    SetSource(cairo, templateTint);
    cairo_mask_surface(cairo, surface, 0, 0);
  } else {
    cairo_set_source_surface(cairo, surface, 0, 0);
    cairo_paint(cairo);
  }
  cairo_restore(cairo);
  cairo_surface_destroy(surface);
}

void DrawImageViewImage(cairo_t* cairo, id imageView, CGSize size) {
  DrawImage(cairo, device::Message<id>(imageView, "image"), {{0, 0}, size}, TintOf(imageView));
}

void DrawButtonImage(cairo_t* cairo, id button, CGSize size) {
  id image = device::Message<id>(button, "currentImage");
  if (image == nullptr) return;
  const CGSize natural = device::Message<CGSize>(image, "size");
  if (natural.width <= 0 || natural.height <= 0) return;
  const double scale = std::min({1.0, size.width / natural.width, size.height / natural.height});
  const CGSize shown{natural.width * scale, natural.height * scale};
  const CGRect rect{{(size.width - shown.width) / 2, (size.height - shown.height) / 2}, shown};
  DrawImage(cairo, image, rect, TintOf(button));
}

}  // namespace preview
