#include <utility>

#include "CoreGraphics/CoreGraphics.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"
#include "tools/preview/ScreenRenderer.h"

// Screens drawn into pictures of their own, so that a screen can be drawn while the state it
// shows still holds and laid out on the page later.
namespace preview {
namespace {

constexpr CGSize kDefaultScreenSize{320, 568};

}  // namespace

ScreenPicture::~ScreenPicture() {
  if (surface_ != nullptr) cairo_surface_destroy(surface_);
}

ScreenPicture::ScreenPicture(ScreenPicture&& other) noexcept
    : surface_(std::exchange(other.surface_, nullptr)) {}

ScreenPicture& ScreenPicture::operator=(ScreenPicture&& other) noexcept {
  if (this != &other) {
    if (surface_ != nullptr) cairo_surface_destroy(surface_);
    surface_ = std::exchange(other.surface_, nullptr);
  }
  return *this;
}

int ScreenPicture::Width() const {
  return surface_ == nullptr ? 0 : cairo_image_surface_get_width(surface_);
}

int ScreenPicture::Height() const {
  return surface_ == nullptr ? 0 : cairo_image_surface_get_height(surface_);
}

ScreenPicture RenderScreen(id root) {
  // Reading the root's size is part of drawing, not something the host did.
  device::PausedTrace quiet;
  CGSize size = kDefaultScreenSize;
  if (root != nullptr) {
    const CGSize frameSize = device::Message<CGRect>(root, "frame").size;
    if (frameSize.width >= 1 && frameSize.height >= 1) size = frameSize;
  }
  ScreenPicture picture(cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, static_cast<int>(size.width), static_cast<int>(size.height)));
  cairo_t* cairo = cairo_create(picture.Surface());
  // A view that raises while it is drawn must not leak the context.
  try {
    DrawViewTree(cairo, root);
  } catch (...) {
    cairo_destroy(cairo);
    throw;
  }
  cairo_destroy(cairo);
  cairo_surface_flush(picture.Surface());
  return picture;
}

}  // namespace preview
