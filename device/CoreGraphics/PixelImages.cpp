#include <stdexcept>

#include "device/CoreGraphics/BitmapDevice.h"
#include "device/CoreGraphics/CGImageSurface.h"

namespace device {
namespace {

std::uint32_t Channel(std::uint32_t pixel, int shift) {
  return (pixel >> shift) & 0xFF;
}

std::uint32_t Premultiplied(std::uint32_t straight) {
  const std::uint32_t alpha = Channel(straight, 24);
  std::uint32_t result = alpha << 24;
  for (int shift : {16, 8, 0}) {
    result |= ((Channel(straight, shift) * alpha + 127) / 255) << shift;
  }
  return result;
}

std::uint32_t Straight(std::uint32_t premultiplied) {
  const std::uint32_t alpha = Channel(premultiplied, 24);
  if (alpha == 0) return 0;
  std::uint32_t result = alpha << 24;
  for (int shift : {16, 8, 0}) {
    const std::uint32_t value = (Channel(premultiplied, shift) * 255 + alpha / 2) / alpha;
    result |= (value > 255 ? 255 : value) << shift;
  }
  return result;
}

}  // namespace

CGImageRef NewCGImageFromPixels(unsigned long width, unsigned long height,
                                const std::vector<std::uint32_t>& pixels) {
  if (width == 0 || height == 0 || pixels.size() != width * height) {
    throw std::invalid_argument("an image needs width times height pixels, at least one");
  }
  cairo_surface_t* surface = cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height));
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (unsigned long row = 0; row < height; ++row) {
    auto* line = reinterpret_cast<std::uint32_t*>(data + row * stride);
    for (unsigned long column = 0; column < width; ++column) {
      line[column] = Premultiplied(pixels[row * width + column]);
    }
  }
  cairo_surface_mark_dirty(surface);
  return NewCGImageOwningSurface(surface);
}

std::vector<std::uint32_t> CGImagePixels(CGImageRef image) {
  if (image == nullptr) return {};
  const unsigned long width = CGImagePixelWidth(image);
  const unsigned long height = CGImagePixelHeight(image);
  const unsigned char* data = cairo_image_surface_get_data(image->surface);
  const int stride = cairo_image_surface_get_stride(image->surface);
  std::vector<std::uint32_t> pixels;
  pixels.reserve(width * height);
  for (unsigned long row = 0; row < height; ++row) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(data + row * stride);
    for (unsigned long column = 0; column < width; ++column)
      pixels.push_back(Straight(line[column]));
  }
  return pixels;
}

cairo_surface_t* CGImageSurface(CGImageRef image) {
  return image == nullptr ? nullptr : image->surface;
}

unsigned long CGImagePixelWidth(CGImageRef image) {
  return image == nullptr ? 0 : cairo_image_surface_get_width(image->surface);
}

unsigned long CGImagePixelHeight(CGImageRef image) {
  return image == nullptr ? 0 : cairo_image_surface_get_height(image->surface);
}

}  // namespace device
