#include "theme/Background.h"

#include "hooks/SavedImplementations.h"
#include "platform/ObjectiveC.h"
#include "platform/UIKit.h"
#include "settings/ColourLookup.h"
#include "settings/ThemeGate.h"
#include "theme/BackgroundDecisions.h"

namespace umbravista {

using platform::CallSaved;
using platform::Send;

void ReplaceUIViewSetBackgroundColor(id view, SEL selector, id requested) {
  IMP saved = SavedImplementation(kUIViewSetBackgroundColor);
  id mainBackground = LookUpColour(kMainBackground);
  if (!ThemeGate()) {
    CallSaved(saved, view, selector, requested);
    return;
  }
  switch (DecideRequestedBackground(platform::ColourComponents(requested))) {
    case BackgroundRequest::kSwapForMainBackground:
      CallSaved(saved, view, selector, mainBackground);
      return;
    case BackgroundRequest::kDrop:
      return;
    case BackgroundRequest::kPass:
      CallSaved(saved, view, selector, requested);
      return;
  }
}

void ReplaceUIViewLayoutSubviews(id view, SEL selector) {
  IMP saved = SavedImplementation(kUIViewLayoutSubviews);
  CallSaved(saved, view, selector);
  id mainBackground = LookUpColour(kMainBackground);
  if (!ThemeGate()) {
    CallSaved(saved, view, selector);
    return;
  }
  if (MatchesAnyOf(kLayoutBackgroundList,
                   platform::ColourComponents(Send<id>(view, "backgroundColor"_sel)))) {
    Send(view, "setBackgroundColor:"_sel, mainBackground);
  }
  id layer = Send<id>(view, "layer"_sel);
  if (MatchesAnyOf(kLayoutBorderList,
                   platform::CGColourComponents(Send<CGColorRef>(layer, "borderColor"_sel)))) {
    Send(layer, "setBorderColor:"_sel, Send<CGColorRef>(mainBackground, "CGColor"_sel));
  }
}

}  // namespace umbravista
