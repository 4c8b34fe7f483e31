#include "theme/Containers.h"

#include "platform/KeyValue.h"
#include "platform/ObjectiveC.h"
#include "platform/UIKit.h"
#include "settings/ColourLookup.h"
#include "settings/ThemeGate.h"
#include "theme/FixedColours.h"

namespace umbravista {

using platform::Send;

namespace {

id FindSubview(id view, const SubviewStep& step) {
  return step.lookup == SubviewLookup::kByKey ? platform::ValueForHeldKey(view, step.name)
                                              : platform::InstanceVariable(view, step.name);
}

void ChangeSubview(id view, const SubviewStep& step, id labelColour) {
  if (step.change == SubviewChange::kNone) return;
  id subview = FindSubview(view, step);
  switch (step.change) {
    case SubviewChange::kDetach:
      Send(subview, "setHidden:"_sel, true);
      Send(subview, "removeFromSuperview"_sel);
      break;
    case SubviewChange::kTintWhite:
      Send(subview, "setTintColor:"_sel, platform::WhiteColour());
      break;
    case SubviewChange::kTintBlack:
      Send(subview, "setTintColor:"_sel, platform::BlackColour());
      break;
    case SubviewChange::kPaleGreyText:
      Send(subview, "setTextColor:"_sel, labelColour);
      break;
    case SubviewChange::kNone:
      break;
  }
}

}  // namespace

void LayOutContainer(const ContainerRow& row, id view, SEL selector) {
  IMP saved = SavedImplementation(row.slot);
  platform::CallSaved(saved, view, selector);
  id labelColour = nullptr;
  if (row.gate == ContainerGate::kGated) {
    // The row's colour is made before the gate, so it is read on both paths.
    id mainBackground = nullptr;
    if (row.paintSetter != nullptr) {
      mainBackground = LookUpColour(kMainBackground);
    } else {
      labelColour = platform::ColourWithComponents(kPaleGreyText);
    }
    if (!ThemeGate()) {
      platform::CallSaved(saved, view, selector);
      return;
    }
    if (row.paintSetter != nullptr) Send(view, row.paintSetter, mainBackground);
  }
  for (const SubviewStep& step : row.steps) ChangeSubview(view, step, labelColour);
}

}  // namespace umbravista
