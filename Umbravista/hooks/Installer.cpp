#include "hooks/Installer.h"

#include <cstring>

#include "platform/ObjectiveC.h"
#include "substrate.h"

namespace umbravista {

void InstallHooks(std::span<const HookEntry> table) {
  const char* lookedUpName = nullptr;
  Class lookedUpClass = nullptr;
  for (const HookEntry& entry : table) {
    if (lookedUpName == nullptr || std::strcmp(lookedUpName, entry.className) != 0) {
      lookedUpName = entry.className;
      lookedUpClass = platform::ClassNamed(entry.className);
    }
    Class target =
        entry.kind == MethodKind::kClass ? platform::MetaclassOf(lookedUpClass) : lookedUpClass;
    MSHookMessageEx(target, platform::Selector(entry.selector), entry.replacement(), entry.slot);
  }
}

}  // namespace umbravista
