#include "tools/preview/RenderBars.h"

#include "device/runtime/Runtime.h"
#include "tools/preview/RenderColor.h"
#include "tools/preview/RenderShapes.h"
#include "tools/preview/RenderText.h"

namespace preview {
namespace {

constexpr long kBlackBarStyle = 1;
constexpr device::RGBA kWhite{1, 1, 1, 1};
constexpr device::RGBA kDefaultBarColour{0.97, 0.97, 0.97, 1};

bool Answers(id object, const char* selector) {
  return class_respondsToSelector(object_getClass(object), sel_registerName(selector));
}

// The toolbar holds no translucency; it is opaque.
bool IsTranslucent(id bar) {
  return Answers(bar, "isTranslucent") && device::Message<bool>(bar, "isTranslucent");
}

void FillSolid(cairo_t* cairo, CGSize size, const device::RGBA& colour) {
  FillWithPaint(cairo, {{0, 0}, size}, {Paint::Kind::kSolid, colour});
}

}  // namespace

void DrawBarFill(cairo_t* cairo, id bar, CGSize size) {
  const long style = device::Message<long>(bar, "barStyle");
  const Paint tint = PaintOfColor(device::Message<id>(bar, "barTintColor"));
  const bool clear =
      tint.kind == Paint::Kind::kNone || (tint.kind == Paint::Kind::kSolid && tint.rgba.alpha == 0);
  if (clear) {
    FillSolid(cairo, size, style == kBlackBarStyle ? kBlack : kDefaultBarColour);
    return;
  }
  if (tint.kind == Paint::Kind::kPattern) {
    FillSolid(cairo, size, kWhite);
    FillWithPaint(cairo, {{0, 0}, size}, tint);
    return;
  }
  if (IsTranslucent(bar) && tint.rgba.alpha < 1) {
    FillSolid(cairo, size, kWhite);
    FillSolid(cairo, size, tint.rgba);
    return;
  }
  device::RGBA opaque = tint.rgba;
  opaque.alpha = 1;
  FillSolid(cairo, size, opaque);
}

namespace {

// A battery outline with a nub on its right and a charge bar inside, its right edge at `right`.
void DrawBatteryGlyph(cairo_t* cairo, double right, double middle) {
  constexpr double kWidth = 22;
  constexpr double kHeight = 10;
  constexpr double kNubWidth = 2;
  const double left = right - kNubWidth - kWidth;
  const double top = middle - kHeight / 2;
  cairo_set_line_width(cairo, 1);
  AddRoundedRectangle(cairo, RectOf(left + 0.5, top + 0.5, kWidth - 1, kHeight - 1), 2.5);
  cairo_stroke(cairo);
  cairo_rectangle(cairo, left + kWidth, middle - 2, kNubWidth, 4);
  cairo_fill(cairo);
  AddRoundedRectangle(cairo, RectOf(left + 2, top + 2, (kWidth - 4) * 0.8, kHeight - 4), 1.5);
  cairo_fill(cairo);
}

}  // namespace

void DrawStatusBar(cairo_t* cairo, id statusBar, CGSize size) {
  constexpr double kSideMargin = 6;
  const Paint paint = PaintOfColor(device::Message<id>(statusBar, "foregroundColor"));
  const device::RGBA colour = ComponentsOr(paint, kBlack);
  cairo_save(cairo);
  UseSansFont(cairo, 12, true);
  DrawLineCentredVertically(cairo, "9:41", kSideMargin, 0, size.height, colour);
  SetSource(cairo, colour);
  DrawBatteryGlyph(cairo, size.width - kSideMargin, size.height / 2);
  cairo_restore(cairo);
}

}  // namespace preview
