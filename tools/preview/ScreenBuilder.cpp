#include "tools/preview/ScreenBuilder.h"

#include <cmath>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/GraphicsDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"

namespace preview {

using device::Message;

ScreenBuilder::ScreenBuilder(std::string title, const char* rootClass)
    : title_(std::move(title)), root_(device::NewView(rootClass, {{0, 0}, {320, 568}})) {
  Message(root_, "setBackgroundColor:",
          Message<id>(reinterpret_cast<id>(objc_getClass("UIColor")), "whiteColor"));
}

id ScreenBuilder::Add(id parent, const char* className, CGRect frame) {
  id view = device::NewView(className, frame);
  Message(parent, "addSubview:", view);
  Message(view, "release");
  return view;
}

id ScreenBuilder::Adopt(id parent, id view, CGRect frame) {
  Message(view, "setFrame:", frame);
  Message(parent, "addSubview:", view);
  return view;
}

id ScreenBuilder::Label(id parent, CGRect frame, const char* text, id colour,
                        const char* className) {
  id label = Add(parent, className, frame);
  id string = device::NewString(text);
  Message(label, "setText:", string);
  Message(string, "release");
  if (colour != nullptr) Message(label, "setTextColor:", colour);
  return label;
}

void ScreenBuilder::Keep(id object) {
  keep_.push_back(Message<id>(object, "retain"));
}

void ScreenBuilder::ListViews(id view, const std::string& path, std::vector<ScreenView>& views) {
  views.push_back({Message<id>(view, "retain"), path});
  const std::vector<id> subviews = device::ArrayObjects(Message<id>(view, "subviews"));
  for (std::size_t index = 0; index < subviews.size(); ++index) {
    ListViews(subviews[index],
              path + "/" + object_getClassName(subviews[index]) + "[" + std::to_string(index) + "]",
              views);
  }
}

Screen ScreenBuilder::Finish() {
  Screen screen{title_, root_, {}, keep_};
  // Listed before the layout pass, so that views the pass detaches are still known.
  ListViews(root_, object_getClassName(root_), screen.views);
  device::LayoutTree(root_);
  return screen;
}

id Palette(const char* selector, const char* paletteClass) {
  return Message<id>(reinterpret_cast<id>(objc_getClass(paletteClass)), selector);
}

id Colour(std::uint32_t rgb, double alpha) {
  auto component = [&](int shift) { return static_cast<CGFloat>(((rgb >> shift) & 0xFF) / 255.0); };
  return Message<id>(reinterpret_cast<id>(objc_getClass("UIColor")),
                     "colorWithRed:green:blue:alpha:", component(16), component(8), component(0),
                     static_cast<CGFloat>(alpha));
}

id ShapeImage(unsigned width, unsigned height, Shape shape, std::uint32_t argb) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0);
  for (unsigned y = 0; y < height; ++y) {
    for (unsigned x = 0; x < width; ++x) {
      if (shape(x + 0.5, y + 0.5, width, height)) pixels[y * width + x] = argb;
    }
  }
  return Message<id>(device::NewImageFromPixels(width, height, 1.0, pixels), "autorelease");
}

// The sample photo's pixels, made once per size: the studio builds its screens afresh at every
// change, and making them took a tenth of its redraw.
const std::vector<std::uint32_t>& PicturePixels(unsigned width, unsigned height) {
  static std::mutex mutex;
  static std::map<std::pair<unsigned, unsigned>, std::vector<std::uint32_t>> made;
  const std::lock_guard lock(mutex);
  std::vector<std::uint32_t>& pixels = made[{width, height}];
  if (!pixels.empty()) return pixels;
  pixels.resize(static_cast<std::size_t>(width) * height);
  for (unsigned y = 0; y < height; ++y) {
    for (unsigned x = 0; x < width; ++x) {
      const double fx = static_cast<double>(x) / width;
      const double fy = static_cast<double>(y) / height;
      const double hill = 0.62 + 0.12 * std::sin(fx * 6.0) + 0.05 * std::sin(fx * 17.0);
      const double sunDistance = std::hypot(fx - 0.75, (fy - 0.25) * height / width);
      std::uint32_t colour;
      if (fy > hill) {
        colour = 0xFF2E7D32 + (static_cast<std::uint32_t>(fy * 40) << 8);
      } else if (sunDistance < 0.08) {
        colour = 0xFFFFC94A;
      } else {
        const auto blue = static_cast<std::uint32_t>(255 - fy * 90);
        colour = 0xFF000000 | (static_cast<std::uint32_t>(120 + fy * 80) << 16) |
                 (static_cast<std::uint32_t>(180 + fy * 40) << 8) | blue;
      }
      pixels[y * width + x] = colour;
    }
  }
  return pixels;
}

id Picture(unsigned width, unsigned height) {
  return Message<id>(device::NewImageFromPixels(width, height, 1.0, PicturePixels(width, height)),
                     "autorelease");
}

bool HeartShape(double x, double y, double width, double height) {
  const double u = (x / width - 0.5) * 2.4;
  const double v = (0.45 - y / height) * 2.4;
  const double a = u * u + v * v - 1;
  return a * a * a - u * u * v * v * v <= 0;
}

bool BubbleShape(double x, double y, double width, double height) {
  const double u = x / width - 0.5;
  const double v = y / height - 0.45;
  const bool round = u * u + v * v <= 0.16;
  const bool tail = y / height > 0.7 && x / width < 0.3 && x / width > 0.1;
  return round || tail;
}

bool PlaneShape(double x, double y, double width, double height) {
  const double u = x / width;
  const double v = y / height;
  return v > 0.15 && v < 0.85 && u > 0.1 && u < 0.9 && std::abs(v - 0.5) < (0.9 - u) * 0.45;
}

bool BookmarkShape(double x, double y, double width, double height) {
  const double u = x / width;
  const double v = y / height;
  const bool band = u > 0.25 && u < 0.75 && v > 0.1 && v < 0.9;
  const bool notch = v > 0.65 && std::abs(u - 0.5) < (v - 0.65) * 1.0;
  return band && !notch;
}

bool CircleShape(double x, double y, double width, double height) {
  const double u = x / width - 0.5;
  const double v = y / height - 0.5;
  return u * u + v * v <= 0.2;
}

bool FullShape(double, double, double, double) {
  return true;
}

}  // namespace preview
