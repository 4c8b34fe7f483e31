#pragma once

#include <array>

#include "settings/SettingsKeys.h"

// The colour pairs whose contrast the checker reports: each foreground against the main
// background, with the least ratio that WCAG 2 asks for at level AA. Text takes 4.5:1; the icon
// and heart are graphics, which take 3:1.
namespace umbravista::check {

struct ContrastPair {
  ColourSetting foreground;
  ColourSetting background;
  double leastRatio;
};

inline constexpr double kTextRatio = 4.5;
inline constexpr double kGraphicsRatio = 3.0;

inline constexpr std::array<ContrastPair, 6> kContrastPairs = {{
    {kText, kMainBackground, kTextRatio},
    {kSecondaryText, kMainBackground, kTextRatio},
    {kLink, kMainBackground, kTextRatio},
    {kBoldLink, kMainBackground, kTextRatio},
    {kDarkButton, kMainBackground, kGraphicsRatio},
    {kHeart, kMainBackground, kGraphicsRatio},
}};

}  // namespace umbravista::check
