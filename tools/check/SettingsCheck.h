#pragma once

#include <string>
#include <string_view>
#include <vector>

// The `check SETTINGS` command: reads a settings file exactly as the library reads its own and
// reports what in it the library would ignore, replace with a fallback, or read differently from
// what the writer meant, and how well the theme's colours stand out against its background.
namespace umbravista::check {

inline constexpr int kNothingWrong = 0;        // Every line is for information.
inline constexpr int kWarnings = 1;            // At least one line starts with "warning: ".
inline constexpr int kUnreadableSettings = 2;  // One line, starting with "error: ".

struct SettingsCheckReport {
  std::vector<std::string> lines;  // Each one line of text, without a line break.
  int exitStatus = kNothingWrong;
};

// Checks the settings held in bytes, as read from the file named source (which only appears in
// the report). The lines come in this order, each group in a fixed order of its own:
// 1. When bytes are not settings to the library (empty, not a property list, a root that is not
//    a dictionary, nesting too deep, an object that refers to itself): one "error: " line saying
//    which, and nothing else; kUnreadableSettings.
// 2. One warning per key the library does not read, in byte order of the keys, naming the known
//    key it probably misspells (see LikelyIntendedKey).
// 3. One warning per colour key, in the order of kSettingsKeys, whose value names no colour,
//    saying why and which fallback the library then uses for each user of the key.
// 4. One warning per colour key whose string names a colour in a form that not every
//    colour-picker library reads alike, with the colour in the portable form.
// 5. A warning when "enabled" is present but not a boolean, saying whether the theme counts it
//    as on or off, decided by ThemeGateFrom itself.
// 6. One line per pair of kContrastPairs with the WCAG 2 ratio to two decimals, of the colours
//    the theme would use (the file's, or the fallback when absent or naming no colour). A pair
//    under its least ratio is a warning, unless both colours are the theme's built-in ones,
//    which are shown as such and not counted.
// 7. A summary: the number of warnings.
// The exit status is kWarnings when any line is a warning, else kNothingWrong.
[[nodiscard]] SettingsCheckReport CheckSettingsBytes(std::string_view bytes,
                                                     std::string_view source);

// Reads the file at hostPath, a path on this machine, as the library reads its settings file
// (a regular file, at most kSettingsSizeCap bytes) and checks it as
// CheckSettingsBytes does. A file that cannot be read gives one "error: " line saying why
// (missing, cannot be opened, not a regular file, over the size cap, a read error) and
// kUnreadableSettings.
[[nodiscard]] SettingsCheckReport CheckSettingsFile(const char* hostPath);

}  // namespace umbravista::check
