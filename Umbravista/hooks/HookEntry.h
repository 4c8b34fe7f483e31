#pragma once

#include <objc/runtime.h>

#include "platform/ObjectiveC.h"

namespace umbravista {

enum class MethodKind { kInstance, kClass };

// One hook: the method `selector` of the class registered as `className` (its metaclass for a
// class method) is replaced by `replacement`, and the implementation it replaced is kept in
// `slot`. The replacement is given as a function that answers it, so that the table stays a
// compile-time constant.
struct HookEntry {
  const char* className;
  MethodKind kind;
  const char* selector;
  IMP (*replacement)();
  IMP* slot;
};

// The replacement function `Function` as the runtime's IMP.
template <auto Function>
IMP ImplementationOf() {
  return platform::AsImplementation(Function);
}

}  // namespace umbravista
