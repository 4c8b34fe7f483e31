#include "hooks/HookTable.h"

#include "theme/Background.h"

namespace umbravista {

// clang-format off
constinit const std::array<HookEntry, kHookCount> kHookTable = {{
  // class    kind                  selector                replacement                                        slot
  {"UIView", MethodKind::kInstance, "layoutSubviews",       &ImplementationOf<&ReplaceUIViewLayoutSubviews>,    &savedImplementations[kUIViewLayoutSubviews]},
  {"UIView", MethodKind::kInstance, "setBackgroundColor:",  &ImplementationOf<&ReplaceUIViewSetBackgroundColor>, &savedImplementations[kUIViewSetBackgroundColor]},
}};
// clang-format on

}  // namespace umbravista
