#pragma once

#include <objc/runtime.h>

#include <string>
#include <vector>

#include "CoreGraphics/CoreGraphics.h"

// The host application's own classes, as the simulated host registers them before the library
// loads: views of the host's screens, its palette classes, its text views, and its chrome (its
// navigation controller, table view cells, buttons, tooltip and comment views), with the methods
// and instance variables that its code and the library's replacements reach.
//
// The chrome's sub-views live in object instance variables with no getters, as in the host:
// IGDirectInboxThreadCell's _messageLabel and _timestampLabel (UILabels, text in kHostBlue and
// kHostGrey); _roundedBackgroundImageView of IGCommentTextRedesignView and
// IGFeedItemInlineComposerCell; IGTextButton's _backgroundView; IGButton's _backgroundImageView;
// IGSettingsButton's _imageView and _backgroundView; IGTooltipView's _leftBackground and
// _rightBackground. Each is made with its owner, as large as it, and added as its subview;
// valueForKey: with the variable's name ("_backgroundView") finds it. IGNavigationController's
// viewDidLoad styles its navigation bar (bar style 0, translucent, kHostBlue tint, black title and
// large-title attributes in two different dictionaries) before calling super's.
namespace device {

// Registers every host class, less those omitted (see OmitClasses) and less the methods named in
// `missingMethods` ("+[IGColors IGRichTextFormat]"; see HostOptions). UIKit must be registered
// first. Raises std::invalid_argument when a name in `missingMethods` matches no method of a
// registered host class.
void RegisterHostClasses(const std::vector<std::string>& missingMethods = {});

// The host's own colours, as 0xRRGGBB: its blue (links, the inbox's message text, its bar tint),
// its greys (timestamps; icons; the rounded comment backgrounds) and its white.
inline constexpr unsigned kHostBlue = 0x3897F0;
inline constexpr unsigned kHostGrey = 0x999999;
inline constexpr unsigned kHostDarkGrey = 0x262626;
inline constexpr unsigned kHostPaleGrey = 0xEFEFEF;
inline constexpr unsigned kHostWhite = 0xFFFFFF;
// A new opaque RGB colour from 0xRRGGBB (retain count 1, owned by the caller).
id NewHostColour(unsigned rgb);

// Whether an IGCommentCell has been told to showHighlight.
bool CommentHighlightShown(id cell);

// The content frame that an RCTTextView last received with its text storage, exactly as it
// arrived; zero before any.
CGRect ContentFrameOf(id textView);

}  // namespace device
