#pragma once

#include <array>
#include <string_view>

// The settings vocabulary: every key the library reads, and every colour setting as the key with
// the fallback that its user passes. A key may serve several settings with different fallbacks.
namespace umbravista {

struct ColourSetting {
  const char* key;
  const char* fallback;  // "#" and six hexadecimal digits.
};

// The master switch; absent means on.
inline constexpr const char* kEnabledKey = "enabled";

// The nine keys, as the settings file spells them; keys are case-sensitive.
inline constexpr std::array<std::string_view, 9> kSettingsKeys = {
    "enabled", "MainBGColor", "Username", "Link", "Text", "Separators", "2text", "Icon", "heart",
};

// The main background colour that views, bars and tables are painted with.
inline constexpr ColourSetting kMainBackground{"MainBGColor", "#000000"};

// The host's palette, one setting per palette getter.
inline constexpr ColourSetting kNavigationBarOverlay{"MainBGColor", "#000000"};
inline constexpr ColourSetting kNavigationBarBackground{"MainBGColor", "#000000"};
inline constexpr ColourSetting kSeparator{"MainBGColor", "#202020"};
inline constexpr ColourSetting kBoldLink{"Username", "#FF6400"};
inline constexpr ColourSetting kLink{"Link", "#23F1CC"};
inline constexpr ColourSetting kText{"Text", "#ffffff"};
inline constexpr ColourSetting kVeryLightText{"Separators", "#F3D438"};
inline constexpr ColourSetting kSecondaryText{"2text", "#00A4E4"};
inline constexpr ColourSetting kBoldLinkHighlighted{"Separators", "#7DB0F1"};
inline constexpr ColourSetting kLinkHighlighted{"Separators", "#CC233C"};
inline constexpr ColourSetting kRichTextFormat{"Separators", "#24A81A"};
inline constexpr ColourSetting kDarkButton{"Icon", "#ffffff"};
inline constexpr ColourSetting kHeart{"heart", "#6200B3"};

}  // namespace umbravista
