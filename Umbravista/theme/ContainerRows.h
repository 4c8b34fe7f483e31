#pragma once

#include <array>

#include "hooks/SavedImplementations.h"

// The container and chrome views whose layout passes the library finishes: one row per hooked
// layoutSubviews, in installation order. After the view's own layout, a row paints the view with
// the main background colour, recolours named labels, or changes named sub-views.
namespace umbravista {

enum class SubviewLookup {
  kByKey,               // valueForKey:, guarded for a key the view does not hold.
  kByInstanceVariable,  // The instance variable's current value.
};

enum class SubviewChange {
  kNone,
  kDetach,        // setHidden: YES, then removeFromSuperview.
  kTintWhite,     // setTintColor: UIKit white.
  kTintBlack,     // setTintColor: UIKit black.
  kPaleGreyText,  // setTextColor: PaleGreyText.
};

struct SubviewStep {
  const char* name = nullptr;
  SubviewLookup lookup = SubviewLookup::kByKey;
  SubviewChange change = SubviewChange::kNone;
};

enum class ContainerGate {
  kGated,    // Theme off: the saved layout runs a second time and nothing changes.
  kUngated,  // The same whatever the settings say; they are never read.
};

struct ContainerRow {
  HookSlot slot;
  const char* className;
  ContainerGate gate;
  // The setter that paints the view with the main background colour, or null for none.
  const char* paintSetter = nullptr;
  std::array<SubviewStep, 2> steps = {};
};

constexpr SubviewStep Detach(const char* key) {
  return {key, SubviewLookup::kByKey, SubviewChange::kDetach};
}
constexpr SubviewStep Tint(const char* key, SubviewChange tint) {
  return {key, SubviewLookup::kByKey, tint};
}
constexpr SubviewStep PaleGreyLabel(const char* instanceVariable) {
  return {instanceVariable, SubviewLookup::kByInstanceVariable, SubviewChange::kPaleGreyText};
}

// clang-format off
inline constexpr std::array<ContainerRow, 15> kContainerRows = {{
  {kPrivateUIStatusBarBackgroundViewLayoutSubviews,  "_UIStatusBarBackgroundView",        ContainerGate::kGated,   "setBackgroundColor:"},
  {kUIStatusBarBackgroundViewLayoutSubviews,         "UIStatusBarBackgroundView",         ContainerGate::kGated,   "setBackgroundColor:"},
  {kUITableViewCellSelectedBackgroundLayoutSubviews, "UITableViewCellSelectedBackground", ContainerGate::kGated,   "setMultiselectBackgroundColor:"},
  {kIGDirectInboxThreadCellLayoutSubviews,           "IGDirectInboxThreadCell",           ContainerGate::kGated,   nullptr, {PaleGreyLabel("_messageLabel"), PaleGreyLabel("_timestampLabel")}},
  {kIGSelectAlbumCellLayoutSubviews,                 "IGSelectAlbumCell",                 ContainerGate::kGated,   "setBackgroundColor:"},
  {kIGCommentTextRedesignViewLayoutSubviews,         "IGCommentTextRedesignView",         ContainerGate::kUngated, nullptr, {Detach("_roundedBackgroundImageView")}},
  {kIGFeedItemInlineComposerCellLayoutSubviews,      "IGFeedItemInlineComposerCell",      ContainerGate::kUngated, nullptr, {Detach("_roundedBackgroundImageView")}},
  {kPrivateUIStatusBarForegroundViewLayoutSubviews,  "_UIStatusBarForegroundView",        ContainerGate::kGated,   "setBackgroundColor:"},
  {kPrivateUIVisualEffectBackdropViewLayoutSubviews, "_UIVisualEffectBackdropView",       ContainerGate::kGated,   "setBackgroundColor:"},
  {kPrivateUINavigationBarContentViewLayoutSubviews, "_UINavigationBarContentView",       ContainerGate::kGated,   "setBackgroundColor:"},
  {kPrivateUIBarBackgroundLayoutSubviews,            "_UIBarBackground",                  ContainerGate::kUngated, nullptr, {Detach("_backgroundImageView")}},
  {kIGTextButtonLayoutSubviews,                      "IGTextButton",                      ContainerGate::kUngated, nullptr, {Detach("_backgroundView")}},
  {kIGSettingsButtonLayoutSubviews,                  "IGSettingsButton",                  ContainerGate::kUngated, nullptr, {Tint("_imageView", SubviewChange::kTintWhite), Detach("_backgroundView")}},
  {kIGButtonLayoutSubviews,                          "IGButton",                          ContainerGate::kUngated, nullptr, {Detach("_backgroundImageView")}},
  {kIGTooltipViewLayoutSubviews,                     "IGTooltipView",                     ContainerGate::kUngated, nullptr, {Tint("_leftBackground", SubviewChange::kTintBlack), Tint("_rightBackground", SubviewChange::kTintBlack)}},
}};
// clang-format on

// The row of the container hooked in `slot`; a compile error where there is none.
consteval const ContainerRow& ContainerRowOf(HookSlot slot) {
  for (const ContainerRow& row : kContainerRows) {
    if (row.slot == slot) return row;
  }
  throw "no container row for this slot";
}

}  // namespace umbravista
