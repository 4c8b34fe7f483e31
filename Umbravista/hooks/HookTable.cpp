#include "hooks/HookTable.h"

#include "theme/Background.h"
#include "theme/Containers.h"
#include "theme/Controllers.h"
#include "theme/Icons.h"
#include "theme/Palette.h"
#include "theme/Selection.h"
#include "theme/Text.h"

namespace umbravista {
namespace {

// A hook whose replacement is the function `Replacement`, kept in `Slot`.
template <HookSlot Slot, auto Replacement>
constexpr HookEntry Hook(const char* className, const char* selector) {
  return {className, MethodKind::kInstance, selector, &ImplementationOf<Replacement>,
          &savedImplementations[Slot]};
}

}  // namespace

// clang-format off
constinit const std::array<HookEntry, kHookCount> kHookTable = {{
  PaletteHook<kUITextInputTraitsKeyboardAppearance>(),
  PaletteHook<kIGColorsNavigationBarOverlayColor>(),
  PaletteHook<kIGColorsNavigationBarBackgroundColor>(),
  PaletteHook<kIGColorsSeparatorColor>(),
  PaletteHook<kIGColorsBoldLinkColor>(),
  PaletteHook<kIGColorsLinkColor>(),
  PaletteHook<kIGColorsTextColor>(),
  PaletteHook<kIGColorsVeryLightTextColor>(),
  PaletteHook<kIGColorsSecondaryTextColor>(),
  PaletteHook<kIGColorsBoldLinkHighlightedColor>(),
  PaletteHook<kIGColorsLinkHighlightedColor>(),
  PaletteHook<kIGColorsIGRichTextFormat>(),
  PaletteHook<kIGColorsDarkButtonColor>(),
  PaletteHook<kIGColorsHeartColor>(),
  PaletteHook<kIGRichTextFormatDefaultTextColor>(),
  PaletteHook<kIGRichTextFormatDisplayName>(),
  PaletteHook<kIGRichTextFormatSeparatorColor>(),
  PaletteHook<kRCTTextAttributesEffectiveForegroundColor>(),
  Hook<kUITextFieldSetTextColor, &ReplaceUITextFieldSetTextColor>("UITextField", "setTextColor:"),
  Hook<kUITextFieldLabelSetTextColor, &ReplaceUITextFieldLabelSetTextColor>("UITextFieldLabel", "setTextColor:"),
  PaletteHook<kUITextSelectionViewCaretViewColor>(),
  Hook<kUIViewLayoutSubviews, &ReplaceUIViewLayoutSubviews>("UIView", "layoutSubviews"),
  Hook<kUIViewSetBackgroundColor, &ReplaceUIViewSetBackgroundColor>("UIView", "setBackgroundColor:"),
  ContainerHook<kPrivateUIStatusBarBackgroundViewLayoutSubviews>(),
  ContainerHook<kUIStatusBarBackgroundViewLayoutSubviews>(),
  ContainerHook<kUITableViewCellSelectedBackgroundLayoutSubviews>(),
  Hook<kUITableViewControllerViewWillAppear, &ReplaceUITableViewControllerViewWillAppear>("UITableViewController", "viewWillAppear:"),
  ContainerHook<kIGDirectInboxThreadCellLayoutSubviews>(),
  ContainerHook<kIGSelectAlbumCellLayoutSubviews>(),
  ContainerHook<kIGCommentTextRedesignViewLayoutSubviews>(),
  ContainerHook<kIGFeedItemInlineComposerCellLayoutSubviews>(),
  Hook<kIGGrowingTextViewLayoutSubviews, &ReplaceIGGrowingTextViewLayoutSubviews>("IGGrowingTextView", "layoutSubviews"),
  PaletteHook<kIGGrowingTextViewTextColor>(),
  Hook<kIGGrowingTextViewSetTextColor, &ReplaceIGGrowingTextViewSetTextColor>("IGGrowingTextView", "setTextColor:"),
  PaletteHook<kUINavigationControllerPreferredStatusBarStyle>(),
  Hook<kUINavigationControllerViewDidLoad, &ReplaceUINavigationControllerViewDidLoad>("UINavigationController", "viewDidLoad"),
  ContainerHook<kPrivateUIStatusBarForegroundViewLayoutSubviews>(),
  ContainerHook<kPrivateUIVisualEffectBackdropViewLayoutSubviews>(),
  ContainerHook<kPrivateUINavigationBarContentViewLayoutSubviews>(),
  Hook<kIGUFIButtonBarViewLayoutSubviews, &ReplaceIGUFIButtonBarViewLayoutSubviews>("IGUFIButtonBarView", "layoutSubviews"),
  Hook<kIGCommentCellShowHighlight, &ReplaceIGCommentCellShowHighlight>("IGCommentCell", "showHighlight"),
  Hook<kIGThreadInfoUserTableViewCellSetSelected, &ReplaceIGThreadInfoUserTableViewCellSetSelected>("IGThreadInfoUserTableViewCell", "setSelected:animated:"),
  Hook<kIGTableViewCellSetSelected, &ReplaceIGTableViewCellSetSelected>("IGTableViewCell", "setSelected:animated:"),
  Hook<kRCTTextViewSetTextStorage, &ReplaceRCTTextViewSetTextStorage>("RCTTextView", "setTextStorage:contentFrame:descendantViews:"),
  Hook<kRCTUITextViewTextDidChange, &ReplaceRCTUITextViewTextDidChange>("RCTUITextView", "textDidChange"),
  Hook<kRCTImageViewSetImage, &ReplaceRCTImageViewSetImage>("RCTImageView", "setImage:"),
  PaletteHook<kUIStatusBarForegroundColor>(),
  PaletteHook<kPrivateUIStatusBarForegroundColor>(),
  PaletteHook<kIGStringStyleDefaultColor>(),
  Hook<kUILabelLayoutSubviews, &ReplaceUILabelLayoutSubviews>("UILabel", "layoutSubviews"),
  Hook<kUILabelSetTextColor, &ReplaceUILabelSetTextColor>("UILabel", "setTextColor:"),
  ContainerHook<kPrivateUIBarBackgroundLayoutSubviews>(),
  Hook<kUITextViewLayoutSubviews, &ReplaceUITextViewLayoutSubviews>("UITextView", "layoutSubviews"),
  PaletteHook<kUITextViewTextColor>(),
  Hook<kUITextViewSetTextColor, &ReplaceUITextViewSetTextColor>("UITextView", "setTextColor:"),
  ContainerHook<kIGTextButtonLayoutSubviews>(),
  ContainerHook<kIGSettingsButtonLayoutSubviews>(),
  ContainerHook<kIGButtonLayoutSubviews>(),
  ContainerHook<kIGTooltipViewLayoutSubviews>(),
}};
// clang-format on

}  // namespace umbravista
