#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/check/SettingsCheck.h"

// The checker's findings, so that the page can put each beside the field it concerns. The texts
// are the checker's own lines (see tools/check/SettingsCheck.h): the page shows what
// `umbravista check` says, word for word.
namespace studio {

struct ContrastFinding {
  double ratio = 0;       // As the line gives it, to two decimals: 4.52 for "4.52:1".
  double leastRatio = 0;  // The threshold the pair is held to: 4.5 or 3.
  bool passed = false;    // At least the threshold.
  bool counted = true;    // False for the theme's own colours, shown but not counted.
};

struct Finding {
  std::string key;       // The settings key the line is about; empty for the file as a whole.
  bool warning = false;  // The checker counts the line as a warning.
  std::string text;      // The line without its "warning: " prefix.
  std::optional<ContrastFinding> contrast;  // For a contrast line: its figures.
};

// One finding per line, in the checker's order, the summary line last. A finding about a key of
// the library belongs to that key (a contrast to its foreground key); every other one (an unknown
// key, the summary, an error) to no key.
[[nodiscard]] std::vector<Finding> FindingsOf(const umbravista::check::SettingsCheckReport& report);

}  // namespace studio
