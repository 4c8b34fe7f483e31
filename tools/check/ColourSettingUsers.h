#pragma once

#include <array>
#include <string_view>

#include "settings/SettingsKeys.h"

// Who reads each colour setting, so that the checker can say which fallback applies where when a
// key's value names no colour. One row per user of a setting, in the library's own order.
namespace umbravista::check {

struct ColourSettingUser {
  std::string_view user;  // The getter or drawing that takes the colour.
  ColourSetting setting;
};

inline constexpr std::array<ColourSettingUser, 14> kColourSettingUsers = {{
    {"main background", kMainBackground},
    {"navigationBarOverlayColor", kNavigationBarOverlay},
    {"navigationBarBackgroundColor", kNavigationBarBackground},
    {"separatorColor", kSeparator},
    {"boldLinkColor", kBoldLink},
    {"linkColor", kLink},
    {"textColor", kText},
    {"veryLightTextColor", kVeryLightText},
    {"secondaryTextColor", kSecondaryText},
    {"boldLinkHighlightedColor", kBoldLinkHighlighted},
    {"linkHighlightedColor", kLinkHighlighted},
    {"IGRichTextFormat", kRichTextFormat},
    {"darkButtonColor", kDarkButton},
    {"heartColor", kHeart},
}};

}  // namespace umbravista::check
