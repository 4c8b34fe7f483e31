#include "settings/ThemeGate.h"

#include "settings/SettingsKeys.h"
#include "settings/TruthValue.h"

namespace umbravista {

namespace {

// Takes the dictionary by value so the first read is released before the second one is made.
bool HasEnabledSwitch(SettingsDictionary settings) {
  return settings.ValueForKey(kEnabledKey) != nullptr;
}

}  // namespace

bool ThemeGate() {
  return ThemeGateFrom(SettingsDictionary::ReadFromDevice);
}

bool ThemeGateFrom(const SettingsReader& readSettings) {
  if (!HasEnabledSwitch(readSettings())) return true;
  const SettingsDictionary settings = readSettings();
  // A switch gone by the second read is a null node, whose truth is false; a value with no truth
  // value at all leaves the theme on.
  return TruthValue(settings.ValueForKey(kEnabledKey)).value_or(true);
}

}  // namespace umbravista
