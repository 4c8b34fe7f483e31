#pragma once

#include <objc/runtime.h>

#include <optional>
#include <string>

#include "CoreGraphics/CoreGraphics.h"
#include "device/CoreGraphics/CoreGraphicsDevice.h"
#include "device/runtime/Trace.h"

// The simulated device's UIKit and QuartzCore stand-ins: registration, and C++ conveniences that
// the simulated host and the tests use to build and read views and colours.
namespace device {

// Registers, in this order: UIColor; UIView and its subclasses UIControl (which inherits
// layoutSubviews) and UIScrollView (which defines its own and calls super's); UITextInputTraits;
// UITextSelectionView; UIStatusBar and _UIStatusBar; UIViewController and UINavigationController;
// UILabel and UITextFieldLabel; UITextField; NSTextStorage; UITextView. Then sets the attribute
// name constants that UIKit/UIKit.h declares, once per process. Foundation and QuartzCore must be
// registered first.
void RegisterUIKit();

struct RGBA {
  CGFloat red;
  CGFloat green;
  CGFloat blue;
  CGFloat alpha;
};

// New colours (retain count 1, owned by the caller): one in the RGB space, one in the grey space,
// and a pattern colour, which has no RGBA form. A colour never changes after it is made, so any
// number of threads may read one at once, its CGColor included: every caller of -CGColor gets the
// same CGColor, made at the first request.
id NewRGBColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
id NewGreyColor(CGFloat white, CGFloat alpha);
id NewPatternColor();

// The RGBA form of a colour, as getRed:green:blue:alpha: reports it; nullopt for nil or a pattern.
std::optional<RGBA> ColorComponents(id color);
// "#RRGGBBAA" with each component times 255 truncated; "nil" or "pattern" otherwise.
std::string ColorText(id color);

// A new view of the class named `className` (UIView or a subclass), initialised with `frame`,
// owned by the caller.
id NewView(const char* className, CGRect frame = {{0, 0}, {100, 100}});

// Runs one layout pass over `view` and its subviews, parents first, as UIKit's layout does.
void LayoutTree(id view);

// The text colour that `view` (a label, text field, text view or the host's growing text view)
// answers to textColor, as "#RRGGBBAA", "nil" or "pattern", without recording the reading.
std::string TextColorText(id view);
// The text colour that `view` holds, as setTextColor: last stored it, without sending a message.
id StoredTextColor(id view);

// A new text storage holding `utf8` with no attributes (retain count 1, owned by the caller). Its
// making is not recorded.
id NewTextStorage(const char* utf8);
// The value of the attribute named `name` at UTF-16 unit `index` of `storage`, or nil where the
// unit has none, lies past the end or `storage` is nil; sends no message and records nothing.
id TextStorageAttribute(id storage, const char* name, unsigned long index);
// The text that `storage` holds, as UTF-8, or "" for nil; sends no message and records nothing.
std::string TextStorageText(id storage);

}  // namespace device
