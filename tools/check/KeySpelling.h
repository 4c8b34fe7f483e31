#pragma once

#include <optional>
#include <string_view>

// Guesses which settings key a key that the library does not read was meant to be.
namespace umbravista::check {

// The largest number of single-character insertions, deletions and substitutions, letter case
// aside, by which a key may differ from a known key and still be taken for a misspelling of it.
inline constexpr std::size_t kLargestMisspelling = 2;

// Answers the known key (one of kSettingsKeys) that key probably misspells: the one equal to it
// but for letter case ("Heart" for "heart"), else the one nearest to it within
// kLargestMisspelling edits with letter case ignored ("MainBGColour" for "MainBGColor"), the first
// in the table among equally near ones. Answers nullopt when no known key is that near, and for a
// key the library reads. Letter case is compared in ASCII only.
[[nodiscard]] std::optional<std::string_view> LikelyIntendedKey(std::string_view key);

}  // namespace umbravista::check
