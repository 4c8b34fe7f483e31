#include <algorithm>
#include <memory>
#include <stdexcept>

#include "tools/preview/RenderColor.h"
#include "tools/preview/RenderText.h"
#include "tools/preview/ScreenRenderer.h"

// The comparison picture: a column of stock screens beside a column of themed ones, one row per
// pair, at one pixel per point so that the file stays modest however many screens there are.
namespace preview {
namespace {

constexpr double kMargin = 24;
constexpr double kColumnGap = 32;
constexpr double kHeaderHeight = 36;
constexpr double kTitleHeight = 28;
constexpr double kRowGap = 24;
constexpr device::RGBA kPageColour{0.92, 0.92, 0.93, 1};
constexpr device::RGBA kFrameColour{0.55, 0.55, 0.58, 1};
constexpr device::RGBA kInkColour{0.15, 0.15, 0.17, 1};

// Every screen gets a cell as large as the largest picture, so that the columns line up.
CGSize CellSize(const std::vector<RenderedPair>& pairs) {
  CGSize cell{320, 568};
  for (const RenderedPair& pair : pairs) {
    for (const ScreenPicture* picture : {&pair.stock, &pair.themed}) {
      cell.width = std::max<double>(cell.width, picture->Width());
      cell.height = std::max<double>(cell.height, picture->Height());
    }
  }
  return cell;
}

// Puts the picture at (x, y) with a thin frame just outside its cell.
void DrawFramedPicture(cairo_t* cairo, const ScreenPicture& picture, double x, double y,
                       CGSize cell) {
  SetSource(cairo, kFrameColour);
  cairo_set_line_width(cairo, 1);
  cairo_rectangle(cairo, x - 0.5, y - 0.5, cell.width + 1, cell.height + 1);
  cairo_stroke(cairo);
  if (picture.Surface() == nullptr) return;
  cairo_set_source_surface(cairo, picture.Surface(), x, y);
  cairo_rectangle(cairo, x, y, cell.width, cell.height);
  cairo_fill(cairo);
}

void DrawPage(cairo_t* cairo, const std::vector<RenderedPair>& pairs, CGSize cell) {
  SetSource(cairo, kPageColour);
  cairo_paint(cairo);
  const double stockX = kMargin;
  const double themedX = kMargin + cell.width + kColumnGap;
  UseSansFont(cairo, 18, true);
  DrawLineCentredVertically(cairo, "Stock", stockX, kMargin, kHeaderHeight, kInkColour);
  DrawLineCentredVertically(cairo, "Themed", themedX, kMargin, kHeaderHeight, kInkColour);
  double y = kMargin + kHeaderHeight;
  for (const RenderedPair& pair : pairs) {
    UseSansFont(cairo, 14, true);
    DrawLineCentredVertically(cairo, pair.title, stockX, y, kTitleHeight, kInkColour);
    y += kTitleHeight;
    DrawFramedPicture(cairo, pair.stock, stockX, y, cell);
    DrawFramedPicture(cairo, pair.themed, themedX, y, cell);
    y += cell.height + kRowGap;
  }
}

}  // namespace

void WriteComparisonPicture(const std::vector<RenderedPair>& pairs, const std::string& pngPath) {
  const CGSize cell = CellSize(pairs);
  const double rows = static_cast<double>(pairs.size());
  const int width = static_cast<int>(2 * kMargin + 2 * cell.width + kColumnGap);
  const int height =
      static_cast<int>(2 * kMargin + kHeaderHeight + rows * (kTitleHeight + cell.height + kRowGap) -
                       (pairs.empty() ? 0 : kRowGap));
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height), &cairo_surface_destroy);
  std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cairo(cairo_create(surface.get()),
                                                           &cairo_destroy);
  DrawPage(cairo.get(), pairs, cell);
  cairo_status_t status = cairo_status(cairo.get());
  cairo_surface_flush(surface.get());
  if (status == CAIRO_STATUS_SUCCESS) {
    status = cairo_surface_write_to_png(surface.get(), pngPath.c_str());
  }
  if (status != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot write the comparison picture " + pngPath + ": " +
                             cairo_status_to_string(status));
  }
}

void WriteComparisonPicture(const std::vector<ScreenPair>& pairs, const std::string& pngPath) {
  std::vector<RenderedPair> rendered;
  rendered.reserve(pairs.size());
  for (const ScreenPair& pair : pairs) {
    rendered.push_back({pair.title, RenderScreen(pair.stockRoot), RenderScreen(pair.themedRoot)});
  }
  WriteComparisonPicture(rendered, pngPath);
}

}  // namespace preview
