#include "tools/preview/Screens.h"

#include <string>

#include "UIKit/UIKit.h"
#include "device/Foundation/Foundation.h"
#include "device/UIKit/ChromeDevice.h"
#include "device/UIKit/GraphicsDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "tools/preview/ScreenBuilder.h"

namespace preview {
namespace {

using device::Message;

constexpr CGFloat kWidth = 320;
constexpr std::uint32_t kIconGrey = 0xFF262626;

// The status bar as UIKit lays it out: a background view, then the bar with its foreground view.
void AddStatusBar(ScreenBuilder& screen, const char* barClass, const char* backgroundClass) {
  id background = screen.Add(screen.Root(), backgroundClass, {{0, 0}, {kWidth, 20}});
  Message(background, "setBackgroundColor:", Colour(0xFFFFFF));
  id bar = screen.Add(screen.Root(), barClass, {{0, 0}, {kWidth, 20}});
  screen.Add(bar, "_UIStatusBarForegroundView", {{0, 0}, {kWidth, 20}});
}

// A navigation controller's bar, loaded as UIKit loads the controller, with its title.
id AddNavigationBar(ScreenBuilder& screen, const char* title) {
  id controller = device::NewNavigationController("IGNavigationController");
  screen.Keep(controller);
  Message(controller, "release");
  Message(controller, "viewDidLoad");
  id bar = screen.Adopt(screen.Root(), Message<id>(controller, "navigationBar"),
                        {{0, 20}, {kWidth, 44}});
  id background = screen.Add(bar, "_UIBarBackground", {{0, 0}, {kWidth, 44}});
  id backdrop = screen.Add(background, "_UIVisualEffectBackdropView", {{0, 0}, {kWidth, 44}});
  Message(backdrop, "setBackgroundColor:", Colour(0xFFFFFF, 0.82));
  id content = screen.Add(bar, "_UINavigationBarContentView", {{0, 0}, {kWidth, 44}});
  Message(content, "setBackgroundColor:", Palette("navigationBarBackgroundColor"));
  // UIKit draws the title with the bar's title attributes.
  id attributes = Message<id>(bar, "titleTextAttributes");
  id titleColour = Message<id>(attributes, "objectForKey:", NSForegroundColorAttributeName);
  screen.Label(content, {{100, 12}, {120, 20}}, title, titleColour);
  id separator = screen.Add(screen.Root(), "UIView", {{0, 64}, {kWidth, 1}});
  Message(separator, "setBackgroundColor:", Palette("separatorColor"));
  return controller;
}

// A one-point border in the given colour, as the host draws around its text inputs.
void SetHairlineBorder(id view, std::uint32_t rgb) {
  id layer = Message<id>(view, "layer");
  Message(layer, "setBorderColor:", Message<CGColorRef>(Colour(rgb), "CGColor"));
  Message(layer, "setBorderWidth:", CGFloat{1});
}

id Template(id image) {
  return Message<id>(image, "imageWithRenderingMode:", 2L);
}

Screen Feed() {
  ScreenBuilder screen("Feed");
  id root = screen.Root();
  AddStatusBar(screen, "UIStatusBar", "UIStatusBarBackgroundView");
  AddNavigationBar(screen, "Umbravista");

  id header = screen.Add(root, "IGFeedView", {{0, 65}, {kWidth, 50}});
  Message(header, "setBackgroundColor:", Colour(0xFAFAFA));
  id avatar = screen.Add(header, "UIImageView", {{10, 9}, {32, 32}});
  Message(avatar, "setImage:", ShapeImage(32, 32, &CircleShape, 0xFFC13584));
  screen.Label(header, {{50, 8}, {200, 18}}, "marrowquinte", Palette("boldLinkColor"));
  screen.Label(header, {{50, 26}, {200, 16}}, "Lisbon, Portugal", Palette("secondaryTextColor"));

  id picture = screen.Add(root, "UIImageView", {{0, 115}, {kWidth, 200}});
  Message(picture, "setImage:", Picture(320, 200));

  id bar = device::NewButtonBar({{124980, ShapeImage(24, 24, &HeartShape, kIconGrey)},
                                 {847123, ShapeImage(24, 24, &BubbleShape, kIconGrey)},
                                 {42342, ShapeImage(24, 24, &PlaneShape, kIconGrey)},
                                 {91823, ShapeImage(24, 24, &BookmarkShape, kIconGrey)}});
  screen.Adopt(root, bar, {{0, 315}, {kWidth, 44}});
  Message(bar, "release");
  Message(bar, "setBackgroundColor:", Colour(0xFFFFFF));

  screen.Label(root, {{12, 360}, {296, 18}}, "1,024 likes", Palette("textColor"));
  screen.Label(root, {{12, 378}, {296, 18}}, "marrowquinte golden hour on the hills",
               Palette("textColor"));
  screen.Label(root, {{12, 396}, {296, 16}}, "View all 12 comments", Palette("veryLightTextColor"));

  id comment = screen.Add(root, "IGCommentCell", {{0, 414}, {kWidth, 44}});
  Message(comment, "setBackgroundColor:", Colour(0xFFFFFF));
  id commentText = screen.Add(comment, "IGCommentTextRedesignView", {{8, 4}, {304, 36}});
  screen.Label(commentText, {{10, 9}, {280, 18}}, "@quinte what a view!", Palette("linkColor"));
  Message(comment, "showHighlight");

  id composer = screen.Add(root, "IGFeedItemInlineComposerCell", {{0, 460}, {kWidth, 50}});
  Message(composer, "setBackgroundColor:", Colour(0xFFFFFF));
  id growing = screen.Add(composer, "IGGrowingTextView", {{12, 8}, {296, 34}});
  Message(growing, "setTextColor:", Colour(0x262626));
  SetHairlineBorder(growing, 0xDBDBDB);
  screen.Label(growing, {{10, 8}, {270, 18}}, "Add a comment...", Palette("secondaryTextColor"));
  return screen.Finish();
}

Screen Inbox() {
  ScreenBuilder screen("Direct inbox");
  id root = screen.Root();
  AddStatusBar(screen, "UIStatusBar", "_UIStatusBarBackgroundView");
  AddNavigationBar(screen, "Direct");

  id controller = device::NewObject("UITableViewController");
  screen.Keep(controller);
  Message(controller, "release");
  id table = screen.Adopt(root, Message<id>(controller, "tableView"), {{0, 65}, {kWidth, 503}});
  Message(table, "setBackgroundColor:", Colour(0xFFFFFF));
  const char* threads[][2] = {{"See you there!", "2h"}, {"Sent a photo", "5h"}, {"ok!", "1d"}};
  CGFloat y = 0;
  for (const auto& thread : threads) {
    id cell = screen.Add(table, "IGDirectInboxThreadCell", {{0, y}, {kWidth, 64}});
    Message(cell, "setBackgroundColor:", Colour(0xFFFFFF));
    id avatar = screen.Add(cell, "UIImageView", {{12, 10}, {44, 44}});
    Message(avatar, "setImage:", ShapeImage(44, 44, &CircleShape, 0xFF5851DB));
    id message = device::InstanceVariableObject(cell, "_messageLabel");
    id timestamp = device::InstanceVariableObject(cell, "_timestampLabel");
    Message(message, "setFrame:", CGRect{{66, 32}, {200, 18}});
    Message(timestamp, "setFrame:", CGRect{{274, 32}, {36, 18}});
    id text = device::NewString(thread[0]);
    Message(message, "setText:", text);
    Message(text, "release");
    id when = device::NewString(thread[1]);
    Message(timestamp, "setText:", when);
    Message(when, "release");
    screen.Label(cell, {{66, 12}, {200, 18}}, "quinte", Palette("textColor"));
    y += 64;
  }
  // A row the user is touching: UIKit's grey selection behind it.
  for (const char* className : {"IGThreadInfoUserTableViewCell", "IGTableViewCell"}) {
    id cell = screen.Add(table, className, {{0, y}, {kWidth, 52}});
    Message(cell, "setBackgroundColor:", Colour(0xFFFFFF));
    id selection = device::NewView("UITableViewCellSelectedBackground", {{0, 0}, {kWidth, 52}});
    Message(selection, "setBackgroundColor:", Colour(0xD9D9D9));
    Message(cell, "setSelectedBackgroundView:", selection);
    Message(selection, "release");
    Message(cell, "setSelected:animated:", true, false);
    screen.Label(cell, {{16, 16}, {280, 20}},
                 className[2] == 'T' && className[3] == 'h' ? "marrowquinte" : "Message requests",
                 Palette("textColor"));
    y += 52;
  }
  Message(controller, "viewWillAppear:", true);
  return screen.Finish();
}

id TextStorageWithColour(const char* text, id colour) {
  id storage = device::NewTextStorage(text);
  const unsigned long length = Message<unsigned long>(storage, "length");
  Message(storage, "addAttribute:value:range:", NSForegroundColorAttributeName, colour,
          NSRange{0, length});
  return Message<id>(storage, "autorelease");
}

Screen ReactNative() {
  ScreenBuilder screen("React Native");
  id root = screen.Root();
  AddStatusBar(screen, "_UIStatusBar", "_UIStatusBarBackgroundView");
  AddNavigationBar(screen, "Shopping");

  id attributes = device::NewObject("RCTTextAttributes");
  id textColour = Message<id>(attributes, "effectiveForegroundColor");
  Message(attributes, "release");
  id title = screen.Add(root, "RCTTextView", {{16, 80}, {288, 24}});
  Message(title, "setTextStorage:contentFrame:descendantViews:",
          TextStorageWithColour("Summer collection", textColour), CGRect{{0, 0}, {288, 24}},
          nullptr);
  id price = screen.Add(root, "RCTTextView", {{16, 108}, {288, 20}});
  Message(price, "setTextStorage:contentFrame:descendantViews:",
          TextStorageWithColour("From 19.99", Palette("IGRichTextFormat")),
          CGRect{{0, 0}, {288, 20}}, nullptr);

  id banner = screen.Add(root, "RCTImageView", {{0, 140}, {kWidth, 160}});
  Message(banner, "setImage:", Picture(320, 160));
  const Shape icons[] = {&HeartShape, &BubbleShape, &PlaneShape, &BookmarkShape};
  CGFloat x = 24;
  for (Shape shape : icons) {
    id icon = screen.Add(root, "RCTImageView", {{x, 316}, {24, 24}});
    Message(icon, "setImage:", ShapeImage(24, 24, shape, kIconGrey));
    x += 72;
  }

  id search = screen.Add(root, "RCTUITextView", {{16, 360}, {288, 36}});
  SetHairlineBorder(search, 0xCCCCCC);
  id storage = Message<id>(search, "textStorage");
  id query = device::NewString("sandals");
  Message(storage, "replaceCharactersInRange:withString:", NSRange{0, 0}, query);
  Message(query, "release");
  Message(storage, "addAttribute:value:range:", NSBackgroundColorAttributeName, Colour(0xFFF3B0),
          NSRange{0, Message<unsigned long>(storage, "length")});
  Message(search, "textDidChange");

  id style = device::NewObject("IGStringStyle");
  screen.Label(root, {{16, 410}, {288, 18}}, "Free returns within 30 days",
               Message<id>(style, "defaultColor"));
  Message(style, "release");
  screen.Label(root, {{16, 430}, {288, 18}}, "Sold by marrowquinte",
               Palette("defaultTextColor", "IGRichTextFormat"));
  screen.Label(root, {{16, 450}, {288, 18}}, "Shop", Palette("displayName", "IGRichTextFormat"));
  id rule = screen.Add(root, "UIView", {{16, 474}, {288, 1}});
  Message(rule, "setBackgroundColor:", Palette("separatorColor", "IGRichTextFormat"));
  return screen.Finish();
}

Screen Settings() {
  ScreenBuilder screen("Settings");
  id root = screen.Root();
  AddStatusBar(screen, "UIStatusBar", "UIStatusBarBackgroundView");
  AddNavigationBar(screen, "Settings");

  const char* rows[] = {"Notifications", "Privacy", "Account"};
  CGFloat y = 80;
  for (const char* row : rows) {
    id button = screen.Add(root, "IGSettingsButton", {{0, y}, {kWidth, 44}});
    id image = device::InstanceVariableObject(button, "_imageView");
    Message(image, "setFrame:", CGRect{{12, 10}, {24, 24}});
    Message(image, "setImage:", Template(ShapeImage(24, 24, &CircleShape, kIconGrey)));
    Message(button, "addSubview:", image);  // The icon sits in front of the row's background.
    screen.Label(button, {{48, 12}, {240, 20}}, row, Palette("textColor"));
    y += 45;
  }
  id album = screen.Add(root, "IGSelectAlbumCell", {{0, y}, {kWidth, 44}});
  Message(album, "setBackgroundColor:", Colour(0xFFFFFF));
  screen.Label(album, {{48, 12}, {240, 20}}, "Camera roll", Palette("textColor"));
  y += 52;

  id follow = screen.Add(root, "IGButton", {{16, y}, {140, 32}});
  screen.Label(follow, {{0, 6}, {140, 20}}, "Follow", Colour(0xFFFFFF));
  id logOut = screen.Add(root, "IGTextButton", {{164, y}, {140, 32}});
  screen.Label(logOut, {{0, 6}, {140, 20}}, "Log out", Palette("linkHighlightedColor"));
  y += 44;
  screen.Label(root, {{16, y}, {288, 18}}, "Switch accounts", Palette("boldLinkHighlightedColor"));
  y += 24;
  screen.Label(root, {{16, y}, {288, 18}}, "Help centre", Palette("linkColor"));
  y += 28;

  id liked = screen.Add(root, "UIButton", {{16, y}, {32, 32}});
  Message(liked, "setImage:forState:", Template(ShapeImage(32, 32, &HeartShape, kIconGrey)), 0UL);
  Message(liked, "setTintColor:", Palette("heartColor"));
  id saved = screen.Add(root, "UIButton", {{56, y}, {32, 32}});
  Message(saved, "setImage:forState:", Template(ShapeImage(32, 32, &BookmarkShape, kIconGrey)),
          0UL);
  Message(saved, "setTintColor:", Palette("darkButtonColor"));
  y += 44;

  id tooltip = screen.Add(root, "IGTooltipView", {{60, y}, {200, 40}});
  // The bubble is drawn by its two halves, template images in the tooltip's tint.
  const struct {
    const char* variable;
    CGFloat x;
  } halves[] = {{"_leftBackground", 0}, {"_rightBackground", 100}};
  for (const auto& half : halves) {
    id background = device::InstanceVariableObject(tooltip, half.variable);
    Message(background, "setFrame:", CGRect{{half.x, 0}, {100, 40}});
    Message(background, "setImage:", Template(ShapeImage(100, 40, &FullShape, kIconGrey)));
  }
  screen.Label(tooltip, {{12, 10}, {176, 20}}, "Tap to see who liked it", Colour(0xFFFFFF));
  id overlay = screen.Add(root, "UIView", {{0, y + 52}, {kWidth, 1}});
  Message(overlay, "setBackgroundColor:", Palette("navigationBarOverlayColor"));
  return screen.Finish();
}

Screen Compose() {
  ScreenBuilder screen("Compose");
  id root = screen.Root();
  AddStatusBar(screen, "UIStatusBar", "UIStatusBarBackgroundView");
  AddNavigationBar(screen, "New message");

  id field = screen.Add(root, "UITextField", {{16, 80}, {288, 36}});
  Message(field, "setTextColor:", Colour(0x262626));
  SetHairlineBorder(field, 0xEEEEEE);
  screen.Label(field, {{10, 8}, {240, 20}}, "Search", Colour(0xC7C7CD), "UITextFieldLabel");
  screen.Add(field, "UITextSelectionView", {{10, 8}, {2, 20}});

  id body = screen.Add(root, "UITextView", {{16, 130}, {288, 120}});
  Message(body, "setBackgroundColor:", Colour(0xFAFAFA));
  Message(body, "setTextColor:", Colour(0x262626));
  id storage = Message<id>(body, "textStorage");
  id text = device::NewString("Can't wait for the weekend, see you at the market?");
  Message(storage, "replaceCharactersInRange:withString:", NSRange{0, 0}, text);
  Message(text, "release");

  id growing = screen.Add(root, "IGGrowingTextView", {{16, 262}, {288, 36}});
  Message(growing, "setTextColor:", Colour(0x262626));
  screen.Label(growing, {{10, 8}, {240, 20}}, "Message...", Colour(0x999999));

  id keyboard = screen.Add(root, "UIKeyboard", {{0, 352}, {kWidth, 216}});
  id traits = device::NewObject("UITextInputTraits");
  Message(keyboard, "setTextInputTraits:", traits);
  Message(traits, "release");
  return screen.Finish();
}

}  // namespace

std::vector<Screen> BuildScreens() {
  std::vector<Screen> screens;
  screens.push_back(Feed());
  screens.push_back(Inbox());
  screens.push_back(ReactNative());
  screens.push_back(Settings());
  screens.push_back(Compose());
  return screens;
}

void ReleaseScreens(std::vector<Screen>& screens) {
  for (Screen& screen : screens) {
    for (ScreenView& view : screen.views) Message(view.view, "release");
    for (id object : screen.keep) Message(object, "release");
    Message(screen.root, "release");
  }
  screens.clear();
}

}  // namespace preview
