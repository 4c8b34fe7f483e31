#pragma once

#include <objc/runtime.h>

#include <cstddef>

// The saved-implementation slots: one per hook, in table order. They are the library's only
// global state. Each is empty until its hook is installed, written once by the hooking layer at
// installation, and only read afterwards, so replacements on any thread read them without a lock.
namespace umbravista {

// Named after the class and selector of each hook; "Private" stands for a leading underscore.
enum HookSlot : std::size_t {
  kUITextInputTraitsKeyboardAppearance,
  kIGColorsNavigationBarOverlayColor,
  kIGColorsNavigationBarBackgroundColor,
  kIGColorsSeparatorColor,
  kIGColorsBoldLinkColor,
  kIGColorsLinkColor,
  kIGColorsTextColor,
  kIGColorsVeryLightTextColor,
  kIGColorsSecondaryTextColor,
  kIGColorsBoldLinkHighlightedColor,
  kIGColorsLinkHighlightedColor,
  kIGColorsIGRichTextFormat,
  kIGColorsDarkButtonColor,
  kIGColorsHeartColor,
  kIGRichTextFormatDefaultTextColor,
  kIGRichTextFormatDisplayName,
  kIGRichTextFormatSeparatorColor,
  kRCTTextAttributesEffectiveForegroundColor,
  kUITextFieldSetTextColor,
  kUITextFieldLabelSetTextColor,
  kUITextSelectionViewCaretViewColor,
  kUIViewLayoutSubviews,
  kUIViewSetBackgroundColor,
  kPrivateUIStatusBarBackgroundViewLayoutSubviews,
  kUIStatusBarBackgroundViewLayoutSubviews,
  kUITableViewCellSelectedBackgroundLayoutSubviews,
  kUITableViewControllerViewWillAppear,
  kIGDirectInboxThreadCellLayoutSubviews,
  kIGSelectAlbumCellLayoutSubviews,
  kIGCommentTextRedesignViewLayoutSubviews,
  kIGFeedItemInlineComposerCellLayoutSubviews,
  kIGGrowingTextViewLayoutSubviews,
  kIGGrowingTextViewTextColor,
  kIGGrowingTextViewSetTextColor,
  kUINavigationControllerPreferredStatusBarStyle,
  kUINavigationControllerViewDidLoad,
  kPrivateUIStatusBarForegroundViewLayoutSubviews,
  kPrivateUIVisualEffectBackdropViewLayoutSubviews,
  kPrivateUINavigationBarContentViewLayoutSubviews,
  kIGUFIButtonBarViewLayoutSubviews,
  kIGCommentCellShowHighlight,
  kIGThreadInfoUserTableViewCellSetSelected,
  kIGTableViewCellSetSelected,
  kRCTTextViewSetTextStorage,
  kRCTUITextViewTextDidChange,
  kRCTImageViewSetImage,
  kUIStatusBarForegroundColor,
  kPrivateUIStatusBarForegroundColor,
  kIGStringStyleDefaultColor,
  kUILabelLayoutSubviews,
  kUILabelSetTextColor,
  kPrivateUIBarBackgroundLayoutSubviews,
  kUITextViewLayoutSubviews,
  kUITextViewTextColor,
  kUITextViewSetTextColor,
  kIGTextButtonLayoutSubviews,
  kIGSettingsButtonLayoutSubviews,
  kIGButtonLayoutSubviews,
  kIGTooltipViewLayoutSubviews,
  kHookCount,
};

// Zero-initialised, so that loading the library runs no initialiser for them.
inline IMP savedImplementations[kHookCount] = {};

// The implementation that the hook in `slot` replaced; null while it is not installed.
inline IMP SavedImplementation(HookSlot slot) {
  return savedImplementations[slot];
}

}  // namespace umbravista
