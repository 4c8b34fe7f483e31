#pragma once

#include <objc/runtime.h>

// The hooking layer's interface, as Cydia Substrate declares it.
extern "C" {

// Puts `replacement` in place of the method `selector` of `cls` (for a class method, pass the
// metaclass) and stores the implementation it replaced in *saved before the replacement can be
// entered. A method that `cls` inherits is added to `cls`, and *saved is then the superclass's
// implementation as in force at the call. A nil class or a selector that `cls` does not answer
// installs nothing, leaves *saved alone and returns normally; nothing of a superclass changes.
void MSHookMessageEx(Class cls, SEL selector, IMP replacement, IMP* saved);

}  // extern "C"
