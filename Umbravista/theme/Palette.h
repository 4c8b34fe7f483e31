#pragma once

#include <objc/runtime.h>

#include "hooks/HookEntry.h"
#include "theme/PaletteRows.h"

// The palette replacements: getters that answer the theme's colours, the dark keyboard and the
// light status bar.
namespace umbravista {

// Answers what the row's getter answers for `receiver`. A gated row asks ThemeGate at every
// call: theme off, the saved getter is called once with the receiver and selector and its answer
// returned unchanged; theme on, the row's value. An ungated row answers its value always, reads no
// settings and never calls the saved getter. A settings colour is looked up after the gate, on
// the theme-on path only; a row whose value is made before the gate makes it on both paths. The
// colour answered is unowned by the caller, as a getter's answer is: the replacement keeps nothing.
id AnswerPaletteColour(const PaletteRow& row, id receiver, SEL selector);
long AnswerPaletteInteger(const PaletteRow& row, id receiver, SEL selector);

// The replacement of the getter hooked in `Slot`.
template <HookSlot Slot>
id ReplacePaletteColourGetter(id receiver, SEL selector) {
  return AnswerPaletteColour(PaletteRowOf(Slot), receiver, selector);
}
template <HookSlot Slot>
long ReplacePaletteIntegerGetter(id receiver, SEL selector) {
  return AnswerPaletteInteger(PaletteRowOf(Slot), receiver, selector);
}

// The hook of the palette getter in `Slot`, as its row describes it.
template <HookSlot Slot>
constexpr HookEntry PaletteHook() {
  constexpr const PaletteRow& row = PaletteRowOf(Slot);
  if constexpr (row.value.kind == PaletteValueKind::kInteger) {
    return {row.className, row.kind, row.selector,
            &ImplementationOf<&ReplacePaletteIntegerGetter<Slot>>, &savedImplementations[Slot]};
  } else {
    return {row.className, row.kind, row.selector,
            &ImplementationOf<&ReplacePaletteColourGetter<Slot>>, &savedImplementations[Slot]};
  }
}

}  // namespace umbravista
