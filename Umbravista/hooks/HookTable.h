#pragma once

#include <array>

#include "hooks/HookEntry.h"
#include "hooks/SavedImplementations.h"

namespace umbravista {

// Every hook of the library, in installation order. UIView's layoutSubviews comes before every
// other layoutSubviews hook, so that a view class hooked later finds UIView's replacement already
// in place and keeps it as its saved implementation.
extern const std::array<HookEntry, kHookCount> kHookTable;

}  // namespace umbravista
