#include "theme/Text.h"

#include "hooks/SavedImplementations.h"
#include "platform/ObjectiveC.h"
#include "platform/TextStorage.h"
#include "platform/UIKit.h"
#include "settings/ThemeGate.h"
#include "theme/TextDecisions.h"

namespace umbravista {

using platform::CallSaved;
using platform::ColourComponents;
using platform::ColourWithComponents;
using platform::Send;
using platform::WhiteColour;

namespace {

// The gated setters that swap every request for one fixed colour while the theme is on.
void SetFixedWhileThemeOn(HookSlot slot, id view, SEL selector, id fixed, id requested) {
  CallSaved(SavedImplementation(slot), view, selector, ThemeGate() ? fixed : requested);
}

}  // namespace

void ReplaceUITextFieldSetTextColor(id field, SEL selector, id requested) {
  id paleCyan = ColourWithComponents(kPaleCyanText);
  SetFixedWhileThemeOn(kUITextFieldSetTextColor, field, selector, paleCyan, requested);
}

void ReplaceUITextFieldLabelSetTextColor(id label, SEL selector, id requested) {
  id paleGrey = ColourWithComponents(kPaleGreyText);
  SetFixedWhileThemeOn(kUITextFieldLabelSetTextColor, label, selector, paleGrey, requested);
}

void ReplaceUITextViewSetTextColor(id textView, SEL selector, id requested) {
  IMP saved = SavedImplementation(kUITextViewSetTextColor);
  if (!ThemeGate()) {
    CallSaved(saved, textView, selector, requested);
    return;
  }
  CallSaved(saved, textView, selector, WhiteColour());
}

void ReplaceIGGrowingTextViewSetTextColor(id textView, SEL selector, id /*requested*/) {
  CallSaved(SavedImplementation(kIGGrowingTextViewSetTextColor), textView, selector, WhiteColour());
}

void ReplaceUILabelSetTextColor(id label, SEL selector, id requested) {
  IMP saved = SavedImplementation(kUILabelSetTextColor);
  id paleCyan = ColourWithComponents(kPaleCyanText);
  if (!ThemeGate()) {
    CallSaved(saved, label, selector, requested);
    return;
  }
  const LabelTextColourCalls calls = DecideLabelTextColour(ColourComponents(requested));
  CallSaved(saved, label, selector, calls.swapFirstCall ? paleCyan : requested);
  if (calls.secondCallWithCyan) CallSaved(saved, label, selector, paleCyan);
}

void ReplaceUILabelLayoutSubviews(id label, SEL selector) {
  IMP saved = SavedImplementation(kUILabelLayoutSubviews);
  CallSaved(saved, label, selector);
  id paleCyan = ColourWithComponents(kPaleCyanText);
  if (!ThemeGate()) {
    CallSaved(saved, label, selector);
    return;
  }
  id brightCyan = ColourWithComponents(kLabelLayoutBrightCyan);
  auto textColour = [&] { return Send<id>(label, "textColor"_sel); };
  const bool recolour =
      Send<BOOL>(textColour(), "isEqual:"_sel, brightCyan) ||
      MatchesAnyOf(std::array{kLabelLayoutDarkGrey}, ColourComponents(textColour())) ||
      MatchesAnyOf(std::array{kLabelLayoutTranslucentBlack}, ColourComponents(textColour()));
  if (recolour) {
    Send(label, "setTextColor:"_sel, paleCyan);
  } else {
    CallSaved(saved, label, selector);
  }
}

void ReplaceUITextViewLayoutSubviews(id textView, SEL selector) {
  IMP saved = SavedImplementation(kUITextViewLayoutSubviews);
  CallSaved(saved, textView, selector);
  if (!ThemeGate()) {
    CallSaved(saved, textView, selector);
    return;
  }
  Send(textView, "setTextColor:"_sel, WhiteColour());
}

void ReplaceIGGrowingTextViewLayoutSubviews(id textView, SEL selector) {
  CallSaved(SavedImplementation(kIGGrowingTextViewLayoutSubviews), textView, selector);
  Send(textView, "setTextColor:"_sel, WhiteColour());
}

void ReplaceRCTTextViewSetTextStorage(id textView, SEL selector, id textStorage,
                                      CGRect contentFrame, id descendantViews) {
  Send(textStorage, "beginEditing"_sel);
  platform::AddAttributeFromStart(textStorage, platform::ForegroundColourAttributeName(),
                                  WhiteColour(), Send<unsigned long>(textStorage, "length"_sel));
  Send(textStorage, "endEditing"_sel);
  CallSaved(SavedImplementation(kRCTTextViewSetTextStorage), textView, selector, textStorage,
            contentFrame, descendantViews);
}

void ReplaceRCTUITextViewTextDidChange(id textView, SEL selector) {
  CallSaved(SavedImplementation(kRCTUITextViewTextDidChange), textView, selector);
  Send(Send<id>(textView, "textStorage"), "beginEditing"_sel);
  id textStorage = Send<id>(textView, "textStorage"_sel);
  id clear = platform::ClearColour();
  const auto length = Send<unsigned long>(Send<id>(textView, "textStorage"), "length"_sel);
  platform::AddAttributeFromStart(textStorage, platform::BackgroundColourAttributeName(), clear,
                                  length);
  Send(Send<id>(textView, "textStorage"), "endEditing"_sel);
}

}  // namespace umbravista
