#include "theme/Selection.h"

#include "hooks/SavedImplementations.h"
#include "platform/CoreGraphics.h"
#include "platform/Foundation.h"
#include "platform/ObjectiveC.h"
#include "platform/UIKit.h"
#include "settings/ThemeGate.h"

namespace umbravista {

using platform::Send;

namespace {

void SelectWithClearBackground(HookSlot slot, id cell, SEL selector, BOOL selected, BOOL animated) {
  if (!ThemeGate()) {
    platform::CallSaved(SavedImplementation(slot), cell, selector, selected, animated);
    return;
  }
  id view = Send<id>(Send<id>("UIView"_class, "alloc"), "init"_sel);
  Send(view, "setFrame:"_sel, Send<CGRect>(cell, "frame"_sel));
  Send(view, "setBackgroundColor:"_sel, platform::ClearColour());
  Send(cell, "setSelectedBackgroundView:"_sel, view);
  platform::Release(view);
}

}  // namespace

void ReplaceIGCommentCellShowHighlight(id, SEL) {}

void ReplaceIGThreadInfoUserTableViewCellSetSelected(id cell, SEL selector, BOOL selected,
                                                     BOOL animated) {
  SelectWithClearBackground(kIGThreadInfoUserTableViewCellSetSelected, cell, selector, selected,
                            animated);
}

void ReplaceIGTableViewCellSetSelected(id cell, SEL selector, BOOL selected, BOOL animated) {
  SelectWithClearBackground(kIGTableViewCellSetSelected, cell, selector, selected, animated);
}

}  // namespace umbravista
