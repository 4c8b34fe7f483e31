#include "theme/Palette.h"

#include "platform/Foundation.h"
#include "platform/ObjectiveC.h"
#include "platform/UIKit.h"
#include "settings/ColourLookup.h"
#include "settings/ThemeGate.h"

namespace umbravista {
namespace {

// The row's colour, unowned by the caller.
id MakeValueColour(const PaletteValue& value) {
  switch (value.kind) {
    case PaletteValueKind::kSettingsColour:
      return LookUpColour(value.setting);
    case PaletteValueKind::kComponents:
      return platform::ColourWithComponents(value.components);
    case PaletteValueKind::kHex:
      // initWithHex: hands over a colour of our own; a getter's answer belongs to nobody.
      return platform::Autorelease(platform::NewColourWithHex(value.hex));
    case PaletteValueKind::kUIKitWhite:
      return platform::WhiteColour();
    case PaletteValueKind::kInteger:
      break;
  }
  return nullptr;
}

}  // namespace

id AnswerPaletteColour(const PaletteRow& row, id receiver, SEL selector) {
  if (row.gate == Gate::kUngated) return MakeValueColour(row.value);
  auto saved = [&] {
    return platform::CallSaved<id>(SavedImplementation(row.slot), receiver, selector);
  };
  if (row.made == ValueMade::kBeforeTheGate) {
    id colour = MakeValueColour(row.value);
    return ThemeGate() ? colour : saved();
  }
  return ThemeGate() ? MakeValueColour(row.value) : saved();
}

long AnswerPaletteInteger(const PaletteRow& row, id receiver, SEL selector) {
  if (row.gate == Gate::kGated && !ThemeGate()) {
    return platform::CallSaved<long>(SavedImplementation(row.slot), receiver, selector);
  }
  return row.value.integer;
}

}  // namespace umbravista
