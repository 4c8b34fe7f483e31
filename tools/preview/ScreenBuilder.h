#pragma once

#include <objc/runtime.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CoreGraphics/CoreGraphics.h"
#include "tools/preview/Screens.h"

// The host's way of building its views, as small conveniences: every view is made, given its
// frame and colours through the ordinary setters, and added to its parent, which keeps it.
namespace preview {

class ScreenBuilder {
 public:
  // Starts a screen: a root view of `rootClass`, 320 by 568 points, with a white background.
  ScreenBuilder(std::string title, const char* rootClass = "UIView");

  [[nodiscard]] id Root() const { return root_; }

  // A new view of `className` added to `parent` with `frame`; unowned (its parent holds it).
  id Add(id parent, const char* className, CGRect frame);
  // Adds an existing view (a bar a controller made, a cell) to `parent` with `frame`.
  id Adopt(id parent, id view, CGRect frame);
  // A label with `text` in `colour` (retained by the label; nil leaves UIKit's default).
  id Label(id parent, CGRect frame, const char* text, id colour, const char* className = "UILabel");

  // Keeps an object (a controller) alive as long as the screen.
  void Keep(id object);

  // Runs the layout pass and hands the screen over, with every view listed as built.
  Screen Finish();

 private:
  void ListViews(id view, const std::string& path, std::vector<ScreenView>& views);

  std::string title_;
  id root_;
  std::vector<id> keep_;
};

// A host palette colour: [IGColors selector] (or [IGRichTextFormat selector]).
id Palette(const char* selector, const char* paletteClass = "IGColors");

// An autoreleased opaque RGB colour from 0xRRGGBB, and one with alpha.
id Colour(std::uint32_t rgb, double alpha = 1.0);

// An autoreleased image of `width` by `height` pixels at scale 1, drawn by `shape`, which answers
// whether a pixel (x, y) is inside; inside pixels take `argb`, the rest are transparent.
using Shape = bool (*)(double x, double y, double width, double height);
id ShapeImage(unsigned width, unsigned height, Shape shape, std::uint32_t argb);

// An autoreleased picture: a landscape of sky, hills and sun, `width` by `height` pixels.
id Picture(unsigned width, unsigned height);

// The host's icons.
bool HeartShape(double x, double y, double width, double height);
bool BubbleShape(double x, double y, double width, double height);
bool PlaneShape(double x, double y, double width, double height);
bool BookmarkShape(double x, double y, double width, double height);
bool CircleShape(double x, double y, double width, double height);
bool FullShape(double x, double y, double width, double height);

}  // namespace preview
