// The palette getters and every colour key of the settings, through real dispatch: each of the 23
// colour lookups answers the colour set under its own key and no other, and its own fallback
// otherwise; the gated getters answer the host's own with the theme off. Keys and fallbacks are
// written out here as the settings pane writes them.
#include <functional>

#include "tests/host/HostTest.h"
#include "tests/host/PaintedContainers.h"

namespace {

using umbravista::testkit::kPaintedContainers;

struct Getter {
  const char* receiverClass;
  bool classMethod;
  const char* selector;
  const char* themeOn;   // With no settings file.
  const char* hostsOwn;  // With "enabled" false: the host's own answer, from its saved getter.
};

const Getter kGatedGetters[] = {
    {"IGColors", true, "navigationBarOverlayColor", "#000000FF", "#FAFAFAFF"},
    {"IGColors", true, "navigationBarBackgroundColor", "#000000FF", "#FFFFFFFF"},
    {"IGColors", true, "separatorColor", "#202020FF", "#DBDBDBFF"},
    {"IGColors", true, "boldLinkColor", "#FF6400FF", "#262626FF"},
    {"IGColors", true, "linkColor", "#23F1CCFF", "#003569FF"},
    {"IGColors", true, "textColor", "#FFFFFFFF", "#262626FF"},
    {"IGColors", true, "veryLightTextColor", "#F3D438FF", "#C7C7C7FF"},
    {"IGColors", true, "secondaryTextColor", "#00A4E4FF", "#999999FF"},
    {"IGColors", true, "boldLinkHighlightedColor", "#7DB0F1FF", "#00376BFF"},
    {"IGColors", true, "linkHighlightedColor", "#CC233CFF", "#005FA3FF"},
    {"IGColors", true, "IGRichTextFormat", "#24A81AFF", "#3897F0FF"},
    {"IGColors", true, "darkButtonColor", "#FFFFFFFF", "#262626FF"},
    {"IGColors", true, "heartColor", "#6200B3FF", "#ED4956FF"},
    {"IGRichTextFormat", true, "defaultTextColor", "#FFFFFFFF", "#1E1E1EFF"},
    {"IGRichTextFormat", true, "displayName", "#FFFFFFFF", "#2C2C2CFF"},
    {"IGRichTextFormat", true, "separatorColor", "#00000000", "#E6E6E6FF"},
    {"RCTTextAttributes", false, "effectiveForegroundColor", "#FFFFFFFF", "#4D4D4DFF"},
    {"UITextSelectionView", false, "caretViewColor", "#0EADFFFF", "#0079FFFF"},
    {"IGStringStyle", false, "defaultColor", "#FFFFFFFF", "#3C3C3CFF"},
    {"UITextView", false, "textColor", "#FFFFFFFF", "#000000FF"},
};

using PaletteTest = HostTest;

TEST_F(PaletteTest, GatedGettersAnswerTheThemeOrOnceTheHostsOwnSavedGetter) {
  for (const bool themeOn : {true, false}) {
    if (!themeOn) WriteSettings({{"enabled", false}});
    for (const Getter& g : kGatedGetters) {
      SCOPED_TRACE(std::string(g.receiverClass) + " " + g.selector + (themeOn ? " on" : " off"));
      id receiver = Receiver(g.receiverClass, g.classMethod);
      device::ClearTrace();
      EXPECT_EQ(device::ColorText(Send<id>(receiver, g.selector)),
                themeOn ? g.themeOn : g.hostsOwn);
      EXPECT_EQ(device::CountCalls(g.selector, receiver), themeOn ? 0U : 1U) << "saved getter runs";
    }
  }
}

TEST_F(PaletteTest, UngatedGettersAnswerWhiteWithoutTheSettingsOrTheHost) {
  for (const bool themeOn : {true, false}) {
    if (!themeOn) WriteSettings({{"enabled", false}});
    for (const char* cls : {"IGGrowingTextView", "UIStatusBar", "_UIStatusBar"}) {
      SCOPED_TRACE(std::string(cls) + (themeOn ? " on" : " off"));
      const char* selector =
          std::string(cls) == "IGGrowingTextView" ? "textColor" : "foregroundColor";
      id receiver = Receiver(cls, false);
      device::ClearTrace();
      EXPECT_EQ(device::ColorText(Send<id>(receiver, selector)), "#FFFFFFFF");
      EXPECT_EQ(device::CountCalls(selector, receiver), 0U) << "the saved getter ran";
    }
  }
}

TEST_F(PaletteTest, TheKeyboardIsDarkWhileTheGateSaysSoAndTheStatusBarAlwaysLight) {
  id traits = Receiver("UITextInputTraits", false);
  id navigation = Receiver("UINavigationController", false);
  device::PausedTrace quiet;
  Send(traits, "setKeyboardAppearance:", 2L);
  EXPECT_EQ(Send<long>(traits, "keyboardAppearance"), 1);
  EXPECT_EQ(Send<long>(navigation, "preferredStatusBarStyle"), 1);
  WriteSettings({{"enabled", false}});
  EXPECT_EQ(Send<long>(traits, "keyboardAppearance"), 2);
  EXPECT_EQ(Send<long>(navigation, "preferredStatusBarStyle"), 1);
}

// One colour per key, in no list of the background replacements, so each shows where it lands.
struct ColourKey {
  const char* key;
  const char* colour;  // As the file holds it; the library answers it as colour + "FF".
};

const ColourKey kColourKeys[] = {
    {"MainBGColor", "#0A1B2C"}, {"Username", "#1A2B3C"}, {"Link", "#2A3B4C"}, {"Text", "#3A4B5C"},
    {"Separators", "#4A5B6C"},  {"2text", "#5A6B7C"},    {"Icon", "#6A7B8C"}, {"heart", "#7A8B9C"},
};

// One colour lookup of the library, seen from outside: its key, its fallback, and how to make the
// library answer it.
struct Use {
  std::string name;
  const char* key;
  const char* fallback;  // As the answer reads.
  std::function<std::string()> answer;
};

class SettingsKeysTest : public HostTest {
 protected:
  std::vector<Use> Uses() {
    std::vector<Use> uses;
    for (const Getter& g : kGatedGetters) {
      if (std::string(g.receiverClass) != "IGColors") continue;
      uses.push_back({std::string("IGColors ") + g.selector, KeyOf(g.selector), g.themeOn, [g] {
                        return device::ColorText(
                            device::Message<id>(ClassObject("IGColors"), g.selector));
                      }});
    }
    uses.push_back({"UIView setBackgroundColor:", "MainBGColor", "#000000FF", [this] {
                      id view = MakeView();
                      Send(view, "setBackgroundColor:", Keep(NewHexColour("FFFFFF")));
                      return BackgroundOf(view);
                    }});
    uses.push_back({"UIView layoutSubviews", "MainBGColor", "#000000FF", [this] {
                      // A white border is repainted directly on the layer, whatever the setter.
                      id view = MakeView();
                      Send(Send<id>(view, "layer"), "setBorderColor:",
                           Send<CGColorRef>(Keep(NewHexColour("FFFFFF")), "CGColor"));
                      Send(view, "layoutSubviews");
                      return BorderOf(view);
                    }});
    for (const auto& row : kPaintedContainers) {
      uses.push_back(
          {std::string(row.className) + " layoutSubviews", "MainBGColor", "#000000FF", [this, row] {
             id view = MakeView(row.className);
             Send(view, "layoutSubviews");
             device::PausedTrace quiet;
             return device::ColorText(Send<id>(view, row.colourGetter));
           }});
    }
    uses.push_back({"UITableViewController viewWillAppear:", "MainBGColor", "#000000FF", [this] {
                      id controller = Keep(device::NewObject("UITableViewController"));
                      Send(controller, "viewWillAppear:", true);
                      return BackgroundOf(Send<id>(controller, "tableView"));
                    }});
    return uses;
  }

  static const char* KeyOf(const std::string& selector) {
    const std::pair<const char*, const char*> keys[] = {
        {"navigationBarOverlayColor", "MainBGColor"},
        {"navigationBarBackgroundColor", "MainBGColor"},
        {"separatorColor", "MainBGColor"},
        {"boldLinkColor", "Username"},
        {"linkColor", "Link"},
        {"textColor", "Text"},
        {"veryLightTextColor", "Separators"},
        {"secondaryTextColor", "2text"},
        {"boldLinkHighlightedColor", "Separators"},
        {"linkHighlightedColor", "Separators"},
        {"IGRichTextFormat", "Separators"},
        {"darkButtonColor", "Icon"},
        {"heartColor", "heart"}};
    for (const auto& [getter, key] : keys) {
      if (selector == getter) return key;
    }
    return "";
  }
};

// Fault pinned: a key renamed in the library ("2text" to "2Text", "Icon" to "icon") passed every
// test.
TEST_F(SettingsKeysTest, EachKeySetAloneReachesItsOwnLookupsAndNoOther) {
  const std::vector<Use> uses = Uses();
  for (std::size_t k = 0; k < std::size(kColourKeys); ++k) {
    const ColourKey& key = kColourKeys[k];
    // Half the files say "enabled" true, half leave it out: both mean on.
    device::SettingEntries entries = {{key.key, std::string(key.colour)}};
    if (k % 2 == 0) entries.emplace_back("enabled", true);
    WriteSettings(entries);
    for (const Use& use : uses) {
      SCOPED_TRACE(use.name + " with only \"" + key.key + "\" set");
      EXPECT_EQ(use.answer(), std::string(use.key) == key.key ? key.colour + std::string("FF")
                                                              : std::string(use.fallback));
    }
  }
}

TEST_F(SettingsKeysTest, KeysInAnotherCaseOrNamingNoColourGiveTheFallbacks) {
  device::SettingEntries entries = {{"Link", 42LL}, {"heart", std::string("crimson")}};
  for (const char* key : {"mainBGColor", "username", "text", "separators", "2Text", "icon", "Heart",
                          "MAINBGCOLOR", "LINK", "2TEXT"}) {
    entries.emplace_back(key, std::string("#0F0F0F"));
  }
  entries.emplace_back("Enabled", false);
  WriteSettings(entries);
  for (const Use& use : Uses()) EXPECT_EQ(use.answer(), use.fallback) << use.name;
}

}  // namespace
