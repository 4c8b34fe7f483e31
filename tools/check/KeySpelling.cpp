#include "tools/check/KeySpelling.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "settings/SettingsKeys.h"

namespace umbravista::check {

namespace {

std::string InLowerCase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return lower;
}

// Levenshtein distance, one row at a time: keys are short, the file's keys few.
std::size_t EditDistance(std::string_view from, std::string_view to) {
  std::vector<std::size_t> previous(to.size() + 1);
  std::iota(previous.begin(), previous.end(), std::size_t{0});
  std::vector<std::size_t> current(to.size() + 1);
  for (std::size_t i = 1; i <= from.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= to.size(); ++j) {
      const std::size_t substitution = previous[j - 1] + (from[i - 1] == to[j - 1] ? 0 : 1);
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
    }
    std::swap(previous, current);
  }
  return previous[to.size()];
}

}  // namespace

std::optional<std::string_view> LikelyIntendedKey(std::string_view key) {
  if (std::find(kSettingsKeys.begin(), kSettingsKeys.end(), key) != kSettingsKeys.end()) {
    return std::nullopt;
  }
  const std::string lowerKey = InLowerCase(key);
  std::optional<std::string_view> nearest;
  std::size_t nearestDistance = kLargestMisspelling + 1;
  // Letter case alone is distance zero, so the exact case-insensitive match always wins.
  for (const std::string_view known : kSettingsKeys) {
    const std::size_t distance = EditDistance(lowerKey, InLowerCase(known));
    if (distance < nearestDistance) {
      nearest = known;
      nearestDistance = distance;
    }
  }
  return nearest;
}

}  // namespace umbravista::check
