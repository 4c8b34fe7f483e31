#pragma once

#include <cairo.h>
#include <objc/runtime.h>

#include <string>
#include <vector>

// Draws the simulated host's screens with Cairo from the views' own state, as UIKit would show
// them: backgrounds with their alpha, layer borders, text in its colour, images, bars, the status
// bar, the caret and the keyboard. Hidden views and views detached from the tree are not drawn.
namespace preview {

// Draws the view tree under `root`, the root's frame origin at the cairo context's current origin,
// one point per unit. Reads the views through the getters UIKit would send when drawing, and
// through the device's read-only conveniences only for what the stand-ins offer no getter for (a
// text storage's characters and attributes, an image's pixels, an RCTTextView's content frame).
// The trace is paused meanwhile, so that nothing of the drawing is recorded. Needs an autorelease
// pool in place (a view answers its subviews autoreleased).
void DrawViewTree(cairo_t* cairo, id root);

struct ScreenPair {
  std::string title;
  id stockRoot;
  id themedRoot;
};

// Writes one PNG with every pair side by side, stock on the left and themed on the right, each
// screen labelled with its title. Raises std::runtime_error when the file cannot be written.
//
// Both screens of every pair are drawn now, from what their views answer now. Once the library is
// loaded its replacements answer the stock views' getters too (the status bar's foregroundColor,
// the keyboard's appearance), so stock screens drawn then come out partly themed; to show them as
// they were, draw them with RenderScreen before loading the library and write the pictures below.
void WriteComparisonPicture(const std::vector<ScreenPair>& pairs, const std::string& pngPath);

// A screen already drawn: a picture of its own, one pixel per point, as large as its root's frame.
// Owns its Cairo surface; moves but does not copy.
class ScreenPicture {
 public:
  explicit ScreenPicture(cairo_surface_t* surface) : surface_(surface) {}
  ~ScreenPicture();
  ScreenPicture(ScreenPicture&& other) noexcept;
  ScreenPicture& operator=(ScreenPicture&& other) noexcept;
  ScreenPicture(const ScreenPicture&) = delete;
  ScreenPicture& operator=(const ScreenPicture&) = delete;

  [[nodiscard]] cairo_surface_t* Surface() const { return surface_; }
  [[nodiscard]] int Width() const;
  [[nodiscard]] int Height() const;

 private:
  cairo_surface_t* surface_;
};

// Draws the view tree under `root` into a new picture as large as the root's frame (320 by 568
// points for an empty root or nil), transparent where no view paints. As DrawViewTree, needs an
// autorelease pool and records nothing.
ScreenPicture RenderScreen(id root);

// The picture as the bytes of a PNG file of 8-bit RGBA, packed for speed rather than size (a
// screen takes about 2 ms and 20 KB). Raises std::runtime_error when it cannot be encoded (a
// picture without a surface, one that Cairo failed to make, or no memory).
std::string EncodePng(const ScreenPicture& picture);

struct RenderedPair {
  std::string title;
  ScreenPicture stock;
  ScreenPicture themed;
};

// Writes one PNG of pictures drawn earlier, laid out exactly as the other WriteComparisonPicture
// lays out its screens. Raises std::runtime_error when the file cannot be written.
void WriteComparisonPicture(const std::vector<RenderedPair>& pairs, const std::string& pngPath);

}  // namespace preview
