#include "tools/preview/RenderText.h"

#include "device/Foundation/Foundation.h"
#include "device/runtime/Runtime.h"
#include "tools/preview/RenderColor.h"

namespace preview {

void UseSansFont(cairo_t* cairo, double size, bool bold) {
  cairo_select_font_face(cairo, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cairo, size);
}

double TextAdvance(cairo_t* cairo, const std::string& utf8) {
  cairo_text_extents_t extents;
  cairo_text_extents(cairo, utf8.c_str(), &extents);
  return extents.x_advance;
}

void DrawLineCentredVertically(cairo_t* cairo, const std::string& utf8, double x, double top,
                               double height, const device::RGBA& colour) {
  if (utf8.empty()) return;
  cairo_font_extents_t font;
  cairo_font_extents(cairo, &font);
  // The baseline that puts the font's ascent-to-descent box in the middle of the band.
  const double baseline = top + (height + font.ascent - font.descent) / 2;
  SetSource(cairo, colour);
  cairo_move_to(cairo, x, baseline);
  cairo_show_text(cairo, utf8.c_str());
}

namespace {

bool Answers(id object, const char* selector) {
  return class_respondsToSelector(object_getClass(object), sel_registerName(selector));
}

}  // namespace

void DrawViewText(cairo_t* cairo, id view, CGSize size) {
  if (!Answers(view, "text")) return;
  const std::string text = device::StringText(device::Message<id>(view, "text"));
  if (text.empty()) return;
  const Paint paint =
      Answers(view, "textColor") ? PaintOfColor(device::Message<id>(view, "textColor")) : Paint{};
  cairo_save(cairo);
  // A label truncates what does not fit; clipping to its bounds stands in for that.
  cairo_rectangle(cairo, 0, 0, size.width, size.height);
  cairo_clip(cairo);
  UseSansFont(cairo, kBodyFontSize);
  DrawLineCentredVertically(cairo, text, 0, 0, size.height, ComponentsOr(paint, kBlack));
  cairo_restore(cairo);
}

void DrawCaret(cairo_t* cairo, id selectionView, CGSize size) {
  constexpr double kCaretWidth = 2.0;
  const Paint paint = PaintOfColor(device::Message<id>(selectionView, "caretViewColor"));
  SetSource(cairo, ComponentsOr(paint, kSystemBlue));
  cairo_rectangle(cairo, 0, 0, kCaretWidth, size.height);
  cairo_fill(cairo);
}

}  // namespace preview
