#pragma once

#include <objc/runtime.h>

#include "platform/CoreGraphics.h"

// The text colour replacements: light text on its way into labels, text fields, text views, the
// host's growing text view and React Native text. Each calls its saved implementation through its
// own slot; recolouring in a layout pass is an ordinary setTextColor: message, so it passes the
// setter replacement of the view's class.
namespace umbravista {

// -[UITextField setTextColor:] and -[UITextFieldLabel setTextColor:]. Make PaleCyanText
// (PaleGreyText for the field label) first, then ask ThemeGate: theme on, the saved setter gets
// the fixed colour whatever was requested, nil included; theme off, the request. One saved call.
void ReplaceUITextFieldSetTextColor(id field, SEL selector, id requested);
void ReplaceUITextFieldLabelSetTextColor(id label, SEL selector, id requested);

// -[UITextView setTextColor:]. Asks ThemeGate: theme on, the saved setter gets UIKit white; off,
// the request. One saved call.
void ReplaceUITextViewSetTextColor(id textView, SEL selector, id requested);

// -[IGGrowingTextView setTextColor:]. The saved setter gets UIKit white, always; no settings read.
void ReplaceIGGrowingTextViewSetTextColor(id textView, SEL selector, id requested);

// -[UILabel setTextColor:]. Makes PaleCyanText, asks ThemeGate; theme off, the saved setter gets
// the request. Theme on: "000000", "16191C" or "262626" are swapped for PaleCyanText, anything
// else passes; then a request of "333333" is followed by a second saved call with PaleCyanText.
void ReplaceUILabelSetTextColor(id label, SEL selector, id requested);

// -[UILabel layoutSubviews]. The saved layout first; then PaleCyanText is made and ThemeGate
// asked. Theme off, the saved layout runs a second time. Theme on, the label's text colour (read
// afresh for each test) is recoloured with PaleCyanText through setTextColor: when it is exactly
// the bright cyan (the platform's isEqual:), else the same as "262626", else the same as black at
// alpha 0.6; with no match the saved layout runs a second time.
void ReplaceUILabelLayoutSubviews(id label, SEL selector);

// -[UITextView layoutSubviews]. The saved layout first, then ThemeGate: theme off, the saved layout
// again; theme on, setTextColor: UIKit white to the view.
void ReplaceUITextViewLayoutSubviews(id textView, SEL selector);

// -[IGGrowingTextView layoutSubviews]. The saved layout once, then setTextColor: UIKit white to
// the view; no settings read.
void ReplaceIGGrowingTextViewLayoutSubviews(id textView, SEL selector);

// -[RCTTextView setTextStorage:contentFrame:descendantViews:]. Colours the whole text white
// (beginEditing; the foreground colour attribute over the storage's length; endEditing), then
// calls the saved implementation with every argument unchanged. No settings read.
void ReplaceRCTTextViewSetTextStorage(id textView, SEL selector, id textStorage,
                                      CGRect contentFrame, id descendantViews);

// -[RCTUITextView textDidChange]. The saved implementation first, then the background colour
// attribute of the whole text is set to UIKit clear between beginEditing and endEditing, the text
// storage fetched afresh for every use. No settings read.
void ReplaceRCTUITextViewTextDidChange(id textView, SEL selector);

}  // namespace umbravista
