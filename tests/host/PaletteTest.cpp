// The palette getters through real dispatch: the theme's colours with the theme on, the host's
// own answers with it off, and the four getters that never look at the settings.
#include "tests/host/HostTest.h"

namespace {

struct Getter {
  const char* receiverClass;
  bool classMethod;
  const char* selector;
};

struct PaletteCase {
  Getter getter;
  const char* themeOn;  // with no settings file: the built-in colours
};

const PaletteCase kGatedColourGetters[] = {
    {{"IGColors", true, "navigationBarOverlayColor"}, "#000000FF"},
    {{"IGColors", true, "navigationBarBackgroundColor"}, "#000000FF"},
    {{"IGColors", true, "separatorColor"}, "#202020FF"},
    {{"IGColors", true, "boldLinkColor"}, "#FF6400FF"},
    {{"IGColors", true, "linkColor"}, "#23F1CCFF"},
    {{"IGColors", true, "textColor"}, "#FFFFFFFF"},
    {{"IGColors", true, "veryLightTextColor"}, "#F3D438FF"},
    {{"IGColors", true, "secondaryTextColor"}, "#00A4E4FF"},
    {{"IGColors", true, "boldLinkHighlightedColor"}, "#7DB0F1FF"},
    {{"IGColors", true, "linkHighlightedColor"}, "#CC233CFF"},
    {{"IGColors", true, "IGRichTextFormat"}, "#24A81AFF"},
    {{"IGColors", true, "darkButtonColor"}, "#FFFFFFFF"},
    {{"IGColors", true, "heartColor"}, "#6200B3FF"},
    {{"IGRichTextFormat", true, "defaultTextColor"}, "#FFFFFFFF"},
    {{"IGRichTextFormat", true, "displayName"}, "#FFFFFFFF"},
    {{"IGRichTextFormat", true, "separatorColor"}, "#00000000"},
    {{"RCTTextAttributes", false, "effectiveForegroundColor"}, "#FFFFFFFF"},
    {{"UITextSelectionView", false, "caretViewColor"}, "#0EADFFFF"},
    {{"IGStringStyle", false, "defaultColor"}, "#FFFFFFFF"},
    {{"UITextView", false, "textColor"}, "#FFFFFFFF"},
};

const Getter kUngatedColourGetters[] = {
    {"IGGrowingTextView", false, "textColor"},
    {"UIStatusBar", false, "foregroundColor"},
    {"_UIStatusBar", false, "foregroundColor"},
};

class PaletteTest : public HostTest {
 protected:
  // The receiver of a getter: the class itself, or a new instance released when the test ends.
  id ReceiverOf(const Getter& getter) {
    id cls = reinterpret_cast<id>(objc_getClass(getter.receiverClass));
    if (getter.classMethod) return cls;
    device::PausedTrace quiet;
    return Keep(Send<id>(Send<id>(cls, "alloc"), "init"));
  }

  // What the getter answers, as "#RRGGBBAA".
  std::string Ask(const Getter& getter) {
    return device::ColorText(Send<id>(ReceiverOf(getter), getter.selector));
  }

  // What the host's own getter answers, with the library out of the way.
  std::string HostsOwn(const Getter& getter) {
    device::PausedTrace quiet;
    WriteSettings({{"enabled", false}});
    std::string answer = Ask(getter);
    RemoveSettings();
    return answer;
  }
};

TEST_F(PaletteTest, GatedGettersAnswerTheBuiltInColoursWithNoSettings) {
  for (const PaletteCase& c : kGatedColourGetters) {
    SCOPED_TRACE(std::string(c.getter.receiverClass) + " " + c.getter.selector);
    EXPECT_EQ(Ask(c.getter), c.themeOn);
  }
}

TEST_F(PaletteTest, GatedGettersAnswerTheHostsOwnOnceWithTheThemeOff) {
  WriteSettings({{"enabled", false}});
  for (const PaletteCase& c : kGatedColourGetters) {
    SCOPED_TRACE(std::string(c.getter.receiverClass) + " " + c.getter.selector);
    id receiver = ReceiverOf(c.getter);
    device::ClearTrace();
    const std::string answer = device::ColorText(Send<id>(receiver, c.getter.selector));
    EXPECT_NE(answer, c.themeOn) << "the host's own colour should differ from the theme's";
    const std::vector<device::TraceCall> saved = device::CallsOf(c.getter.selector, receiver);
    ASSERT_EQ(saved.size(), 1u) << "the saved getter runs exactly once";
    EXPECT_EQ(saved[0].receiver, receiver);
  }
}

TEST_F(PaletteTest, GatedGettersAnswerTheThemeWhenEnabledIsTrueOrAbsent) {
  WriteSettings({{"enabled", true}, {"Link", std::string("#00FF00")}});
  EXPECT_EQ(Ask({"IGColors", true, "linkColor"}), "#00FF00FF");
  WriteSettings({{"Link", std::string("#00FF00")}});
  EXPECT_EQ(Ask({"IGColors", true, "linkColor"}), "#00FF00FF");
}

TEST_F(PaletteTest, SeparatorsServesFourGettersAndOnlyThose) {
  const Getter separatorsGetters[] = {
      {"IGColors", true, "veryLightTextColor"},
      {"IGColors", true, "boldLinkHighlightedColor"},
      {"IGColors", true, "linkHighlightedColor"},
      {"IGColors", true, "IGRichTextFormat"},
  };
  WriteSettings({{"Separators", std::string("#123456")}});
  for (const Getter& getter : separatorsGetters) {
    SCOPED_TRACE(getter.selector);
    EXPECT_EQ(Ask(getter), "#123456FF");
  }
  EXPECT_EQ(Ask({"IGColors", true, "separatorColor"}), "#202020FF");
}

TEST_F(PaletteTest, MainBackgroundServesTheNavigationBarsAndTheSeparator) {
  WriteSettings({{"MainBGColor", std::string("#0A0B0C")}});
  EXPECT_EQ(Ask({"IGColors", true, "navigationBarOverlayColor"}), "#0A0B0CFF");
  EXPECT_EQ(Ask({"IGColors", true, "navigationBarBackgroundColor"}), "#0A0B0CFF");
  EXPECT_EQ(Ask({"IGColors", true, "separatorColor"}), "#0A0B0CFF");
}

TEST_F(PaletteTest, KeysInAnotherCaseAreAbsent) {
  WriteSettings({{"Heart", std::string("#00FF00")}, {"mainbgcolor", std::string("#00FF00")}});
  EXPECT_EQ(Ask({"IGColors", true, "heartColor"}), "#6200B3FF");
  EXPECT_EQ(Ask({"IGColors", true, "separatorColor"}), "#202020FF");
}

TEST_F(PaletteTest, ASettingThatNamesNoColourGivesTheFallback) {
  WriteSettings({{"heart", std::string("crimson")}, {"Link", 42LL}});
  EXPECT_EQ(Ask({"IGColors", true, "heartColor"}), "#6200B3FF");
  EXPECT_EQ(Ask({"IGColors", true, "linkColor"}), "#23F1CCFF");
}

TEST_F(PaletteTest, UngatedGettersAnswerWhiteWithoutTheSettingsOrTheHost) {
  for (bool themeOn : {true, false}) {
    if (!themeOn) WriteSettings({{"enabled", false}});
    for (const Getter& getter : kUngatedColourGetters) {
      SCOPED_TRACE(std::string(getter.receiverClass) + (themeOn ? " on" : " off"));
      id receiver = ReceiverOf(getter);
      device::ClearTrace();
      EXPECT_EQ(device::ColorText(Send<id>(receiver, getter.selector)), "#FFFFFFFF");
      EXPECT_EQ(device::CountCalls(getter.selector, receiver), 0u) << "the saved getter ran";
    }
  }
}

TEST_F(PaletteTest, TheKeyboardIsDarkAndTheStatusBarLightWhileTheirGatesSaySo) {
  id traits = ReceiverOf({"UITextInputTraits", false, "keyboardAppearance"});
  id navigation = ReceiverOf({"UINavigationController", false, "preferredStatusBarStyle"});
  device::PausedTrace quiet;
  Send(traits, "setKeyboardAppearance:", 2L);
  EXPECT_EQ(Send<long>(traits, "keyboardAppearance"), 1);
  EXPECT_EQ(Send<long>(navigation, "preferredStatusBarStyle"), 1);
  WriteSettings({{"enabled", false}});
  EXPECT_EQ(Send<long>(traits, "keyboardAppearance"), 2);
  EXPECT_EQ(Send<long>(navigation, "preferredStatusBarStyle"), 1);
}

TEST_F(PaletteTest, TheRichTextSeparatorIsFullyTransparentBlack) {
  id colour = Send<id>(ReceiverOf({"IGRichTextFormat", true, "separatorColor"}), "separatorColor");
  std::optional<device::RGBA> rgba = device::ColorComponents(colour);
  ASSERT_TRUE(rgba.has_value());
  EXPECT_EQ(rgba->red, 0.0);
  EXPECT_EQ(rgba->green, 0.0);
  EXPECT_EQ(rgba->blue, 0.0);
  EXPECT_EQ(rgba->alpha, 0.0);
}

}  // namespace
