#include "color/CompareAndHex.h"
#include "hooks/HookTable.h"
#include "hooks/Installer.h"

// The library's one module initialiser: the loader runs it once, on the loading thread, before
// any replacement can be entered. The category comes first, since replacements use it.
__attribute__((constructor)) static void InstallUmbravista() {
  umbravista::AttachCompareAndHex();
  umbravista::InstallHooks(umbravista::kHookTable);
}
