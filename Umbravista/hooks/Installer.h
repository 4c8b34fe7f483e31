#pragma once

#include <span>

#include "hooks/HookEntry.h"

namespace umbravista {

// Installs `table` in order: for each entry, looks its class up by name (the metaclass for a
// class method), reusing the lookup of the previous entry when the class name is the same, and
// asks the hooking layer to put the replacement in place and fill the entry's slot. A class the
// process lacks goes to the hooking layer as nil, which installs nothing. Nothing is checked,
// reported or retried; no settings are read.
void InstallHooks(std::span<const HookEntry> table);

}  // namespace umbravista
