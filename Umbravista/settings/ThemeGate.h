#pragma once

#include <optional>

#include "propertylist/PropertyListReader.h"

namespace umbravista {

// What one read of the settings says of the master switch "enabled".
struct SwitchReading {
  bool present = false;  // The read found settings holding "enabled".
  // The switch's truth (see TruthValue); nullopt for a value that has none, such as a date.
  std::optional<bool> truth;
};

// The switch as a lookup of "enabled" found it.
[[nodiscard]] SwitchReading SwitchIn(const SettingsLookup& lookup);

// The master switch: answers whether the dark theme is on, reading the settings file afresh, once
// or twice (see ThemeGateFrom).
[[nodiscard]] bool ThemeGate();

// The master switch, given the ways to make one read of the settings: `isPresent()` answers
// whether a read finds "enabled", `readSwitch()` what a read says of it.
//
// It decides in two separate reads, and a change to the file between them shows in the answer:
// 1. The first read only asks whether "enabled" is present (isPresent). When it is absent, or
//    there are no settings at all (no file, garbage, a root that is not a dictionary), the theme
//    is on: true, and the settings are read no more.
// 2. Otherwise the settings are read a second time (readSwitch), and the answer is the truth of
//    "enabled" in that second read. If "enabled" is absent from the second read, because the file
//    was deleted or rewritten in between, the answer is off: false, as a nil switch is NO. A value
//    that has no truth value (data, date, array, dictionary) counts as on: only a switch that is
//    false turns the theme off.
// Each is called once at most, `isPresent` first; so the truth of the switch is worked out only
// when it decides.
template <typename IsPresent, typename ReadSwitch>
[[nodiscard]] bool ThemeGateFrom(IsPresent isPresent, ReadSwitch readSwitch) {
  if (!isPresent()) return true;
  const SwitchReading second = readSwitch();
  if (!second.present) return false;
  return second.truth.value_or(true);
}

// The master switch as above, given one way to make a read, called once or twice and never more;
// of the first read only the presence counts.
template <typename ReadSwitch>
[[nodiscard]] bool ThemeGateFrom(ReadSwitch readSwitch) {
  return ThemeGateFrom([&readSwitch] { return readSwitch().present; }, readSwitch);
}

}  // namespace umbravista
