#pragma once

#include <nlohmann/json.hpp>

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

enum class Severity { kError, kWarning, kInformation };

// One thing the check found, as facts a program can use; the text report writes its message.
//
// Kinds, with the details each adds:
// - "unreadable": the file is no settings; "reason".
// - "unknown-key": a key the library does not read; "suggestion", the key probably meant, or null.
// - "no-colour": a colour key whose value names no colour; "value" (described), "reason", and
//   "fallbacks", each {"colour", "users"}.
// - "non-portable-colour": a colour in a form not every library reads alike; "value", "portable".
// - "enabled-not-boolean": "value" (described), "hasTruthValue", "countsAs" ("on" or "off").
// - "contrast": "foreground" and "background", each {"key", "colour"}, "ratio" (to two decimals),
//   "leastRatio", "passes", "builtIn" (both colours the theme's own, so not counted).
struct Finding {
  std::string kind;
  Severity severity = Severity::kInformation;
  std::string key;      // The settings key it concerns; empty for none.
  std::string message;  // One line, as the text report writes it after any "warning: ".
  nlohmann::json details = nlohmann::json::object();
};

struct SettingsCheckReport {
  std::vector<std::string> lines;  // Each one line of text, without a line break.
  std::vector<Finding> findings;   // In the order of the lines; the summary line has none.
  int warnings = 0;
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

// The report as one JSON object: {"source", "status" (the exit status), "warnings", "findings"},
// each finding an object of its "kind", "severity" ("error", "warning" or "information"), "key"
// (or null), "message" and its details.
[[nodiscard]] nlohmann::json ReportJson(const SettingsCheckReport& report, std::string_view source);

}  // namespace umbravista::check
