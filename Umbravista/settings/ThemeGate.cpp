#include "settings/ThemeGate.h"

#include "propertylist/TruthValue.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"

namespace umbravista {

SwitchReading SwitchIn(const SettingsLookup& lookup) {
  if (lookup.verdict != Verdict::kSettings || !lookup.value) return {};
  return {true, TruthValue(*lookup.value)};
}

bool ThemeGate() {
  return ThemeGateFrom(
      [] {
        // Whether the switch is there, not what it says: its value is not decoded.
        SettingsRead read;
        const SettingsLookup lookup = read.LookUp(kEnabledKey, Decoding::kKind);
        return lookup.verdict == Verdict::kSettings && lookup.value.has_value();
      },
      [] {
        SettingsRead read;
        return SwitchIn(read.LookUp(kEnabledKey, Decoding::kTruth));
      });
}

}  // namespace umbravista
