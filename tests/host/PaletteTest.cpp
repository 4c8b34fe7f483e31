// The palette getters and every colour key of the settings, through real dispatch: each getter's
// answer and reads in every state of the switch, and each of the 23 colour lookups answering the
// colour set under its own key and no other, and its own fallback otherwise. Keys and fallbacks
// are written out here as the settings pane writes them.
#include <functional>

#include "device/filesystem/DeviceFileSystem.h"
#include "tests/host/HostTest.h"
#include "tests/host/PaintedContainers.h"

namespace {

using umbravista::testkit::kPaintedContainers;

enum class Answer {
  kSettingsColour,  // Gated; looks its colour up after the gate, on the theme-on path only.
  kFixed,           // Gated, with a fixed answer.
  kUngated,         // Never reads the settings.
};

struct Getter {
  const char* receiverClass;
  bool classMethod;
  const char* selector;
  Answer answer;
  const char* themeOn;   // With no settings: "#RRGGBBAA", or a number for an integer getter.
  const char* hostsOwn;  // With "enabled" false: the host's own, from its saved getter.
};

const Getter kGetters[] = {
    {"UITextInputTraits", false, "keyboardAppearance", Answer::kFixed, "1", "0"},
    {"IGColors", true, "navigationBarOverlayColor", Answer::kSettingsColour, "#000000FF", "#FAFAFAFF"},
    {"IGColors", true, "navigationBarBackgroundColor", Answer::kSettingsColour, "#000000FF", "#FFFFFFFF"},
    {"IGColors", true, "separatorColor", Answer::kSettingsColour, "#202020FF", "#DBDBDBFF"},
    {"IGColors", true, "boldLinkColor", Answer::kSettingsColour, "#FF6400FF", "#262626FF"},
    {"IGColors", true, "linkColor", Answer::kSettingsColour, "#23F1CCFF", "#003569FF"},
    {"IGColors", true, "textColor", Answer::kSettingsColour, "#FFFFFFFF", "#262626FF"},
    {"IGColors", true, "veryLightTextColor", Answer::kSettingsColour, "#F3D438FF", "#C7C7C7FF"},
    {"IGColors", true, "secondaryTextColor", Answer::kSettingsColour, "#00A4E4FF", "#999999FF"},
    {"IGColors", true, "boldLinkHighlightedColor", Answer::kSettingsColour, "#7DB0F1FF", "#00376BFF"},
    {"IGColors", true, "linkHighlightedColor", Answer::kSettingsColour, "#CC233CFF", "#005FA3FF"},
    {"IGColors", true, "IGRichTextFormat", Answer::kSettingsColour, "#24A81AFF", "#3897F0FF"},
    {"IGColors", true, "darkButtonColor", Answer::kSettingsColour, "#FFFFFFFF", "#262626FF"},
    {"IGColors", true, "heartColor", Answer::kSettingsColour, "#6200B3FF", "#ED4956FF"},
    {"IGRichTextFormat", true, "defaultTextColor", Answer::kFixed, "#FFFFFFFF", "#1E1E1EFF"},
    {"IGRichTextFormat", true, "displayName", Answer::kFixed, "#FFFFFFFF", "#2C2C2CFF"},
    {"IGRichTextFormat", true, "separatorColor", Answer::kFixed, "#00000000", "#E6E6E6FF"},
    {"RCTTextAttributes", false, "effectiveForegroundColor", Answer::kFixed, "#FFFFFFFF", "#4D4D4DFF"},
    {"UITextSelectionView", false, "caretViewColor", Answer::kFixed, "#0EADFFFF", "#0079FFFF"},
    {"IGGrowingTextView", false, "textColor", Answer::kUngated, "#FFFFFFFF", "#FFFFFFFF"},
    {"UINavigationController", false, "preferredStatusBarStyle", Answer::kUngated, "1", "1"},
    {"UIStatusBar", false, "foregroundColor", Answer::kUngated, "#FFFFFFFF", "#FFFFFFFF"},
    {"_UIStatusBar", false, "foregroundColor", Answer::kUngated, "#FFFFFFFF", "#FFFFFFFF"},
    {"IGStringStyle", false, "defaultColor", Answer::kFixed, "#FFFFFFFF", "#3C3C3CFF"},
    {"UITextView", false, "textColor", Answer::kFixed, "#FFFFFFFF", "#000000FF"},
};

// The files that tell the gate's reads apart: none, a file without the switch, and the switch
// present true or false.
struct SwitchState {
  const char* name;
  device::SettingEntries entries;
  unsigned gateReads;
  bool themeOn;
};

const SwitchState kSwitchStates[] = {
    {"no settings file", {}, 1, true},
    {"\"enabled\" absent", {{"Unread", std::string("#102030")}}, 1, true},
    {"\"enabled\" true", {{"enabled", true}}, 2, true},
    {"\"enabled\" false", {{"enabled", false}}, 2, false},
};

class PaletteTest : public HostTest {
 public:
  void SetUp() override {
    HostTest::SetUp();
    device::RecordDeviceOpens(true);
  }
  void TearDown() override {
    device::RecordDeviceOpens(false);
    HostTest::TearDown();
  }
};

// Gated getters answer the theme, or the host's own from one run of the saved getter; ungated
// ones answer the theme and never read. Each reads for the gate (once when "enabled" is absent,
// twice when present) and for its colour only on the theme-on path.
TEST_F(PaletteTest, GettersAnswerAndReadAsTheirGateSays) {
  for (const SwitchState& state : kSwitchStates) {
    state.entries.empty() ? RemoveSettings() : WriteSettings(state.entries);
    for (const Getter& g : kGetters) {
      SCOPED_TRACE(std::string(g.receiverClass) + " " + g.selector + ", " + state.name);
      id receiver = Receiver(g.receiverClass, g.classMethod);
      device::ClearTrace();
      device::ResetOpenRecord();
      const bool integer = g.themeOn[0] != '#';
      const std::string answer = integer ? std::to_string(Send<long>(receiver, g.selector))
                                         : device::ColorText(Send<id>(receiver, g.selector));
      const bool gated = g.answer != Answer::kUngated;
      EXPECT_EQ(answer, state.themeOn || !gated ? g.themeOn : g.hostsOwn);
      EXPECT_EQ(device::CountCalls(g.selector, receiver), gated && !state.themeOn ? 1U : 0U);
      EXPECT_EQ(device::OpensOf(device::kSettingsDevicePath),
                (gated ? state.gateReads : 0) +
                    (g.answer == Answer::kSettingsColour && state.themeOn ? 1 : 0));
    }
  }
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
    for (const Getter& g : kGetters) {
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
