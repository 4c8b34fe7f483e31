#pragma once

#include <array>

#include "hooks/HookEntry.h"
#include "hooks/SavedImplementations.h"
#include "platform/UIKit.h"
#include "settings/SettingsKeys.h"

// The getters that answer the theme's palette in place of the host's or UIKit's own: one row per
// getter, in installation order, read by the palette replacements.
namespace umbravista {

enum class PaletteValueKind {
  kSettingsColour,  // The colour lookup of a setting, made after the gate.
  kComponents,      // [UIColor colorWithRed:green:blue:alpha:] of fixed components.
  kHex,             // [[UIColor alloc] initWithHex:] of six fixed digits.
  kUIKitWhite,      // [UIColor whiteColor].
  kInteger,         // A platform enumeration value.
};

struct PaletteValue {
  PaletteValueKind kind;
  ColourSetting setting{};
  platform::Colour components{};
  const char* hex = nullptr;
  long integer = 0;
};

constexpr PaletteValue SettingsColour(ColourSetting setting) {
  return {.kind = PaletteValueKind::kSettingsColour, .setting = setting};
}
constexpr PaletteValue Components(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
  return {.kind = PaletteValueKind::kComponents, .components = {red, green, blue, alpha}};
}
constexpr PaletteValue HexDigits(const char* sixDigits) {
  return {.kind = PaletteValueKind::kHex, .hex = sixDigits};
}
constexpr PaletteValue UIKitWhite() {
  return {.kind = PaletteValueKind::kUIKitWhite};
}
constexpr PaletteValue Integer(long value) {
  return {.kind = PaletteValueKind::kInteger, .integer = value};
}

enum class Gate {
  kGated,    // Theme off: the saved getter answers. Theme on: the row's value.
  kUngated,  // The row's value always; the settings are never read, the saved getter never called.
};

enum class ValueMade {
  kWhenAnswered,   // Only on the theme-on path.
  kBeforeTheGate,  // On both paths; dropped when the theme is off.
};

struct PaletteRow {
  HookSlot slot;
  const char* className;
  MethodKind kind;
  const char* selector;
  Gate gate;
  PaletteValue value;
  ValueMade made = ValueMade::kWhenAnswered;
};

constexpr long kUIKeyboardAppearanceDark = 1;
constexpr long kUIStatusBarStyleLightContent = 1;

// clang-format off
inline constexpr std::array<PaletteRow, 25> kPaletteRows = {{
  {kUITextInputTraitsKeyboardAppearance,        "UITextInputTraits",      MethodKind::kInstance, "keyboardAppearance",           Gate::kGated,   Integer(kUIKeyboardAppearanceDark)},
  {kIGColorsNavigationBarOverlayColor,          "IGColors",               MethodKind::kClass,    "navigationBarOverlayColor",    Gate::kGated,   SettingsColour(kNavigationBarOverlay)},
  {kIGColorsNavigationBarBackgroundColor,       "IGColors",               MethodKind::kClass,    "navigationBarBackgroundColor", Gate::kGated,   SettingsColour(kNavigationBarBackground)},
  {kIGColorsSeparatorColor,                     "IGColors",               MethodKind::kClass,    "separatorColor",               Gate::kGated,   SettingsColour(kSeparator)},
  {kIGColorsBoldLinkColor,                      "IGColors",               MethodKind::kClass,    "boldLinkColor",                Gate::kGated,   SettingsColour(kBoldLink)},
  {kIGColorsLinkColor,                          "IGColors",               MethodKind::kClass,    "linkColor",                    Gate::kGated,   SettingsColour(kLink)},
  {kIGColorsTextColor,                          "IGColors",               MethodKind::kClass,    "textColor",                    Gate::kGated,   SettingsColour(kText)},
  {kIGColorsVeryLightTextColor,                 "IGColors",               MethodKind::kClass,    "veryLightTextColor",           Gate::kGated,   SettingsColour(kVeryLightText)},
  {kIGColorsSecondaryTextColor,                 "IGColors",               MethodKind::kClass,    "secondaryTextColor",           Gate::kGated,   SettingsColour(kSecondaryText)},
  {kIGColorsBoldLinkHighlightedColor,           "IGColors",               MethodKind::kClass,    "boldLinkHighlightedColor",     Gate::kGated,   SettingsColour(kBoldLinkHighlighted)},
  {kIGColorsLinkHighlightedColor,               "IGColors",               MethodKind::kClass,    "linkHighlightedColor",         Gate::kGated,   SettingsColour(kLinkHighlighted)},
  {kIGColorsIGRichTextFormat,                   "IGColors",               MethodKind::kClass,    "IGRichTextFormat",             Gate::kGated,   SettingsColour(kRichTextFormat)},
  {kIGColorsDarkButtonColor,                    "IGColors",               MethodKind::kClass,    "darkButtonColor",              Gate::kGated,   SettingsColour(kDarkButton)},
  {kIGColorsHeartColor,                         "IGColors",               MethodKind::kClass,    "heartColor",                   Gate::kGated,   SettingsColour(kHeart)},
  {kIGRichTextFormatDefaultTextColor,           "IGRichTextFormat",       MethodKind::kClass,    "defaultTextColor",             Gate::kGated,   Components(1.0, 1.0, 1.0, 1.0), ValueMade::kBeforeTheGate},
  {kIGRichTextFormatDisplayName,                "IGRichTextFormat",       MethodKind::kClass,    "displayName",                  Gate::kGated,   Components(1.0, 1.0, 1.0, 1.0), ValueMade::kBeforeTheGate},
  {kIGRichTextFormatSeparatorColor,             "IGRichTextFormat",       MethodKind::kClass,    "separatorColor",               Gate::kGated,   Components(0.0, 0.0, 0.0, 0.0), ValueMade::kBeforeTheGate},
  {kRCTTextAttributesEffectiveForegroundColor,  "RCTTextAttributes",      MethodKind::kInstance, "effectiveForegroundColor",     Gate::kGated,   UIKitWhite()},
  {kUITextSelectionViewCaretViewColor,          "UITextSelectionView",    MethodKind::kInstance, "caretViewColor",               Gate::kGated,   HexDigits("0EADFF")},
  {kIGGrowingTextViewTextColor,                 "IGGrowingTextView",      MethodKind::kInstance, "textColor",                    Gate::kUngated, UIKitWhite()},
  {kUINavigationControllerPreferredStatusBarStyle, "UINavigationController", MethodKind::kInstance, "preferredStatusBarStyle", Gate::kUngated, Integer(kUIStatusBarStyleLightContent)},
  {kUIStatusBarForegroundColor,                 "UIStatusBar",            MethodKind::kInstance, "foregroundColor",              Gate::kUngated, UIKitWhite()},
  {kPrivateUIStatusBarForegroundColor,          "_UIStatusBar",           MethodKind::kInstance, "foregroundColor",              Gate::kUngated, UIKitWhite()},
  {kIGStringStyleDefaultColor,                  "IGStringStyle",          MethodKind::kInstance, "defaultColor",                 Gate::kGated,   UIKitWhite()},
  {kUITextViewTextColor,                        "UITextView",             MethodKind::kInstance, "textColor",                    Gate::kGated,   UIKitWhite()},
}};
// clang-format on

// The row of the palette getter hooked in `slot`. Naming a slot that has no row is a compile
// error where the answer is needed at compile time.
consteval const PaletteRow& PaletteRowOf(HookSlot slot) {
  for (const PaletteRow& row : kPaletteRows) {
    if (row.slot == slot) return row;
  }
  throw "no palette row for this slot";
}

}  // namespace umbravista
