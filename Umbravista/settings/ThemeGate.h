#pragma once

#include <functional>

#include "settings/SettingsDictionary.h"

namespace umbravista {

// Performs one complete read and parse of the settings, answering no settings on any failure.
using SettingsReader = std::function<SettingsDictionary()>;

// The master switch: answers whether the dark theme is on, reading the settings file afresh.
// Equivalent to ThemeGateFrom(SettingsDictionary::ReadFromDevice).
[[nodiscard]] bool ThemeGate();

// The master switch, given the way to read the settings once.
//
// It decides in two separate reads, and a change to the file between
// them shows in the answer:
// 1. The first read only asks whether "enabled" is present. When it is absent, or there are no
//    settings at all (no file, garbage, a root that is not a dictionary), the theme is on: true,
//    and the settings are read no more.
// 2. Otherwise the settings are read a second time, and the answer is the truth of "enabled" in
//    that second read (see TruthValue). If "enabled" is absent from the second read, because the
//    file was deleted or rewritten in between, the answer is off: false, as a nil switch is NO.
//    A value that has no truth value (data, date, array, dictionary) counts as on: only a switch
//    that is false turns the theme off.
// readSettings must be callable; it is called once or twice and never more.
[[nodiscard]] bool ThemeGateFrom(const SettingsReader& readSettings);

}  // namespace umbravista
