#include "tools/preview/ScreenRenderer.h"

#include "device/Foundation/Foundation.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"
#include "tools/preview/RenderBars.h"
#include "tools/preview/RenderColor.h"
#include "tools/preview/RenderImage.h"
#include "tools/preview/RenderKeyboard.h"
#include "tools/preview/RenderText.h"
#include "tools/preview/RenderTextStorage.h"

namespace preview {
namespace {

using device::IsKindOf;
using device::Message;

bool Answers(id object, const char* selector) {
  return class_respondsToSelector(object_getClass(object), sel_registerName(selector));
}

// The content that a view of a system or host class draws over its background, chosen by class
// as each of those classes draws its own.
void DrawOwnContent(cairo_t* cairo, id view, CGSize size) {
  if (IsKindOf(view, "UINavigationBar") || IsKindOf(view, "UIToolbar")) {
    DrawBarFill(cairo, view, size);
  } else if (IsKindOf(view, "UIStatusBar") || IsKindOf(view, "_UIStatusBar")) {
    DrawStatusBar(cairo, view, size);
  } else if (IsKindOf(view, "UITextSelectionView")) {
    DrawCaret(cairo, view, size);
  } else if (IsKindOf(view, "UIKeyboard")) {
    DrawKeyboard(cairo, view, size);
  } else if (IsKindOf(view, "UIImageView")) {
    DrawImageViewImage(cairo, view, size);
  } else if (IsKindOf(view, "UIButton")) {
    DrawButtonImage(cairo, view, size);
  } else if (IsKindOf(view, "UITextView") || IsKindOf(view, "RCTTextView")) {
    DrawTextStorageView(cairo, view, size);
  } else if (IsKindOf(view, "UILabel") || IsKindOf(view, "UITextField") ||
             IsKindOf(view, "IGGrowingTextView")) {
    DrawViewText(cairo, view, size);
  }
}

// The layer's border lies inside the bounds and above the view's content and its subviews, as
// Core Animation composites it.
void DrawBorder(cairo_t* cairo, id view, CGSize size) {
  id layer = Message<id>(view, "layer");
  if (layer == nullptr || !Answers(layer, "borderWidth")) return;
  const double width = Message<CGFloat>(layer, "borderWidth");
  if (width <= 0) return;
  const Paint paint = PaintOfCGColor(Message<CGColorRef>(layer, "borderColor"));
  if (paint.kind == Paint::Kind::kNone) return;
  SetSource(cairo, ComponentsOr(paint, kBlack));
  cairo_set_line_width(cairo, width);
  cairo_rectangle(cairo, width / 2, width / 2, size.width - width, size.height - width);
  cairo_stroke(cairo);
}

void DrawView(cairo_t* cairo, id view, CGRect frame);

// A selected cell shows its selected background view behind its content, stretched over the
// cell's bounds as UIKit lays it out; that view is not one of the cell's subviews.
void DrawSelectedBackground(cairo_t* cairo, id cell, CGSize size) {
  if (!Message<bool>(cell, "isSelected")) return;
  id background = Message<id>(cell, "selectedBackgroundView");
  if (background != nullptr) DrawView(cairo, background, {{0, 0}, size});
}

void DrawView(cairo_t* cairo, id view, CGRect frame) {
  if (Message<bool>(view, "isHidden")) return;
  const CGSize size = frame.size;
  cairo_save(cairo);
  cairo_translate(cairo, frame.origin.x, frame.origin.y);
  FillWithPaint(cairo, {{0, 0}, size}, PaintOfColor(Message<id>(view, "backgroundColor")));
  if (IsKindOf(view, "UITableViewCell")) DrawSelectedBackground(cairo, view, size);
  DrawOwnContent(cairo, view, size);
  for (id subview : device::ArrayObjects(Message<id>(view, "subviews"))) {
    DrawView(cairo, subview, Message<CGRect>(subview, "frame"));
  }
  DrawBorder(cairo, view, size);
  cairo_restore(cairo);
}

}  // namespace

void DrawViewTree(cairo_t* cairo, id root) {
  if (root == nullptr) return;
  // Drawing reads every view through its getters; none of that is the host's doing.
  device::PausedTrace quiet;
  const CGRect frame = Message<CGRect>(root, "frame");
  DrawView(cairo, root, {{0, 0}, frame.size});
}

}  // namespace preview
