// Every key of the settings through the library: each of the 23 colour lookups answers the colour
// set under its own key and no other, and its own fallback while its key is absent; the master
// switch turns the gated replacements off. Keys and fallbacks are written out here as the
// settings pane writes them.
#include <functional>
#include <string>
#include <vector>

#include "tests/host/HostTest.h"

namespace {

// One colour per key, in no list of the background replacements, so each shows where it lands.
struct ColourKey {
  const char* key;
  const char* colour;  // As the file holds it.
  const char* seen;    // As the library answers it.
};

const ColourKey kColourKeys[] = {
    {"MainBGColor", "#0A1B2C", "#0A1B2CFF"}, {"Username", "#1A2B3C", "#1A2B3CFF"},
    {"Link", "#2A3B4C", "#2A3B4CFF"},        {"Text", "#3A4B5C", "#3A4B5CFF"},
    {"Separators", "#4A5B6C", "#4A5B6CFF"},  {"2text", "#5A6B7C", "#5A6B7CFF"},
    {"Icon", "#6A7B8C", "#6A7B8CFF"},        {"heart", "#7A8B9C", "#7A8B9CFF"},
};

class SettingsKeysTest : public HostTest {
 protected:
  // One colour lookup of the library, seen from outside: the key and fallback it must use, and
  // how to make the library answer it.
  struct Use {
    std::string name;
    const char* key;
    const char* fallback;  // "#RRGGBBAA", as the answer reads.
    std::function<std::string()> answer;
  };

  std::string PaletteColour(const char* selector) {
    return device::ColorText(Send<id>(reinterpret_cast<id>(objc_getClass("IGColors")), selector));
  }

  // A new view of `className` laid out once; answers the colour its setter got.
  std::string PaintedBy(const char* className, const char* colourGetter) {
    id view = MakeView(className);
    Send(view, "layoutSubviews");
    device::PausedTrace quiet;
    return device::ColorText(Send<id>(view, colourGetter));
  }

  std::vector<Use> Uses() {
    auto palette = [this](const char* selector, const char* key, const char* fallback) {
      return Use{std::string("IGColors ") + selector, key, fallback,
                 [this, selector] { return PaletteColour(selector); }};
    };
    auto painted = [this](const char* className, const char* getter) {
      return Use{std::string(className) + " layoutSubviews", "MainBGColor", "#000000FF",
                 [this, className, getter] { return PaintedBy(className, getter); }};
    };
    return {
        palette("navigationBarOverlayColor", "MainBGColor", "#000000FF"),
        palette("navigationBarBackgroundColor", "MainBGColor", "#000000FF"),
        palette("separatorColor", "MainBGColor", "#202020FF"),
        palette("boldLinkColor", "Username", "#FF6400FF"),
        palette("linkColor", "Link", "#23F1CCFF"),
        palette("textColor", "Text", "#FFFFFFFF"),
        palette("veryLightTextColor", "Separators", "#F3D438FF"),
        palette("secondaryTextColor", "2text", "#00A4E4FF"),
        palette("boldLinkHighlightedColor", "Separators", "#7DB0F1FF"),
        palette("linkHighlightedColor", "Separators", "#CC233CFF"),
        palette("IGRichTextFormat", "Separators", "#24A81AFF"),
        palette("darkButtonColor", "Icon", "#FFFFFFFF"),
        palette("heartColor", "heart", "#6200B3FF"),
        Use{"UIView setBackgroundColor:", "MainBGColor", "#000000FF",
            [this] {
              id view = MakeView();
              Send(view, "setBackgroundColor:", Keep(NewHexColour("FFFFFF")));
              return BackgroundOf(view);
            }},
        Use{"UIView layoutSubviews", "MainBGColor", "#000000FF",
            [this] {
              // A white border is repainted directly on the layer, whatever the gate's setter.
              id view = MakeView();
              Send(Send<id>(view, "layer"),
                   "setBorderColor:", Send<CGColorRef>(Keep(NewHexColour("FFFFFF")), "CGColor"));
              Send(view, "layoutSubviews");
              return BorderOf(view);
            }},
        painted("_UIStatusBarBackgroundView", "backgroundColor"),
        painted("UIStatusBarBackgroundView", "backgroundColor"),
        painted("UITableViewCellSelectedBackground", "multiselectBackgroundColor"),
        painted("IGSelectAlbumCell", "backgroundColor"),
        painted("_UIStatusBarForegroundView", "backgroundColor"),
        painted("_UIVisualEffectBackdropView", "backgroundColor"),
        painted("_UINavigationBarContentView", "backgroundColor"),
        Use{"UITableViewController viewWillAppear:", "MainBGColor", "#000000FF",
            [this] {
              id controller = Keep(device::NewObject("UITableViewController"));
              Send(controller, "viewWillAppear:", true);
              return BackgroundOf(Send<id>(controller, "tableView"));
            }},
    };
  }
};

// Fault pinned: a key renamed in the library ("2text" to "2Text", "Icon" to "icon") passed every
// test.
TEST_F(SettingsKeysTest, EachKeySetAloneReachesItsOwnLookupsAndNoOther) {
  for (const ColourKey& key : kColourKeys) {
    WriteSettings({{key.key, std::string(key.colour)}});
    for (const Use& use : Uses()) {
      SCOPED_TRACE(std::string(use.name) + " with only \"" + key.key + "\" set");
      EXPECT_EQ(use.answer(), std::string(use.key) == key.key ? key.seen : use.fallback);
    }
  }
}

TEST_F(SettingsKeysTest, EveryKeySetAtOnceReachesItsOwnLookups) {
  device::SettingEntries all;
  for (const ColourKey& key : kColourKeys) all.emplace_back(key.key, std::string(key.colour));
  WriteSettings(all);
  for (const Use& use : Uses()) {
    SCOPED_TRACE(use.name);
    std::string expected;
    for (const ColourKey& key : kColourKeys) {
      if (std::string(key.key) == use.key) expected = key.seen;
    }
    EXPECT_EQ(use.answer(), expected);
  }
}

TEST_F(SettingsKeysTest, EveryFallbackAppliesWithNoSettingsFileAndWithAnEmptyOne) {
  for (bool file : {false, true}) {
    if (file) WriteSettings({});
    for (const Use& use : Uses()) {
      SCOPED_TRACE(use.name + (file ? ", empty file" : ", no file"));
      EXPECT_EQ(use.answer(), use.fallback);
    }
  }
}

TEST_F(SettingsKeysTest, KeysInAnotherCaseAreAbsent) {
  const char* const otherCase[] = {"mainBGColor", "username", "link",  "text",
                                   "separators",  "2Text",    "icon",  "Heart",
                                   "MAINBGCOLOR", "LINK",     "2TEXT", "HEART"};
  device::SettingEntries entries;
  for (const char* key : otherCase) entries.emplace_back(key, std::string("#0F0F0F"));
  entries.emplace_back("Enabled", false);
  WriteSettings(entries);
  for (const Use& use : Uses()) {
    SCOPED_TRACE(use.name);
    EXPECT_EQ(use.answer(), use.fallback);
  }
}

TEST_F(SettingsKeysTest, TheSwitchUnderEnabledFalseTurnsTheGatedLookupsOff) {
  WriteSettings({{"enabled", false}, {"Link", std::string("#2A3B4C")}});
  EXPECT_NE(PaletteColour("linkColor"), "#2A3B4CFF");
  EXPECT_NE(PaletteColour("linkColor"), "#23F1CCFF");
  EXPECT_EQ(PaintedBy("IGSelectAlbumCell", "backgroundColor"), "nil");
  WriteSettings({{"enabled", true}, {"Link", std::string("#2A3B4C")}});
  EXPECT_EQ(PaletteColour("linkColor"), "#2A3B4CFF");
}

}  // namespace
