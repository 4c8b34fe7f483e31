#include "settings/ThemeGate.h"

#include "propertylist/TruthValue.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"

namespace umbravista {
namespace {

SwitchReading ReadSwitchFromDevice() {
  SettingsRead read;
  return SwitchIn(read.LookUp(kEnabledKey));
}

}  // namespace

SwitchReading SwitchIn(const SettingsLookup& lookup) {
  if (lookup.verdict != Verdict::kSettings || !lookup.value) return {};
  return {true, TruthValue(*lookup.value)};
}

bool ThemeGate() {
  return ThemeGateFrom(&ReadSwitchFromDevice);
}

}  // namespace umbravista
