#pragma once

#include <objc/runtime.h>

#include "hooks/HookEntry.h"
#include "theme/ContainerRows.h"

// The layout passes of container and chrome views.
namespace umbravista {

// Runs `row`'s layoutSubviews replacement on `view`. The saved layout always comes first.
// A gated row then makes its colour (the main background colour for a painting row,
// PaleGreyText for a labelling row) and asks ThemeGate: theme off, the saved layout runs a second
// time and nothing changes; theme on, the painting setter is sent to the view with the main
// background colour, and each labelling step sends setTextColor: to its label. An ungated row
// reads no settings and does its steps on every pass: detach (setHidden: YES, then
// removeFromSuperview) or tint. A sub-view that is not found is nil, and messages to it do nothing.
void LayOutContainer(const ContainerRow& row, id view, SEL selector);

template <HookSlot Slot>
void ReplaceContainerLayoutSubviews(id view, SEL selector) {
  LayOutContainer(ContainerRowOf(Slot), view, selector);
}

template <HookSlot Slot>
constexpr HookEntry ContainerHook() {
  return {ContainerRowOf(Slot).className, MethodKind::kInstance, "layoutSubviews",
          &ImplementationOf<&ReplaceContainerLayoutSubviews<Slot>>, &savedImplementations[Slot]};
}

}  // namespace umbravista
