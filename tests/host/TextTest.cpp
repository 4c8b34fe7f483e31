// The text colour replacements through real dispatch: setters, layout passes that re-enter them,
// and React Native text storages.
#include "Foundation/Foundation.h"
#include "device/host/HostClasses.h"
#include "tests/host/HostTest.h"

namespace {

constexpr const char* kPaleCyan = "#CDE7E7FF";
constexpr const char* kPaleGrey = "#E7E7E7FF";

class TextTest : public HostTest {
 protected:
  // The colours that reached the saved setTextColor: of `view` since the trace was cleared.
  static std::string SavedSetterCalls(id view) {
    std::string colours;
    for (const device::TraceCall& call : device::CallsOf("setTextColor:", view)) {
      colours += (colours.empty() ? "" : " ") + call.arguments.at(0).text;
    }
    return colours;
  }

  // A view of `className` whose text colour reached it with the theme off.
  id ViewWithTextColour(const char* className, id colour) {
    id view = MakeView(className);
    device::PausedTrace quiet;
    WriteSettings({{"enabled", false}});
    Send(view, "setTextColor:", colour);
    RemoveSettings();
    return view;
  }
};

TEST_F(TextTest, SettersPassTheirFixedColourOrTheListedSwapOrTheRequest) {
  struct Case {
    const char* className;
    bool themeOn;
    const char* requested;  // Six digits, or nullptr for nil.
    double alpha;
    std::string reached;  // What reached the saved setter, in order.
  };
  const Case cases[] = {
      {"UITextField", true, "FFFFFF", 1.0, kPaleCyan},
      {"UITextField", true, nullptr, 0, kPaleCyan},
      {"UITextField", false, "123456", 1.0, "#123456FF"},
      {"UITextField", false, nullptr, 0, "nil"},
      {"UITextFieldLabel", true, "FFFFFF", 1.0, kPaleGrey},
      {"UITextFieldLabel", true, nullptr, 0, kPaleGrey},
      {"UITextFieldLabel", false, "123456", 1.0, "#123456FF"},
      {"UITextView", true, "123456", 1.0, "#FFFFFFFF"},
      {"UITextView", true, nullptr, 0, "#FFFFFFFF"},
      {"UITextView", false, nullptr, 0, "nil"},
      {"IGGrowingTextView", true, "123456", 1.0, "#FFFFFFFF"},
      {"IGGrowingTextView", false, "123456", 1.0, "#FFFFFFFF"},
      {"IGGrowingTextView", false, nullptr, 0, "#FFFFFFFF"},
      {"UILabel", true, "000000", 1.0, kPaleCyan},
      {"UILabel", true, "16191C", 1.0, kPaleCyan},
      {"UILabel", true, "262626", 1.0, kPaleCyan},
      {"UILabel", true, "333333", 1.0, std::string("#333333FF ") + kPaleCyan},
      {"UILabel", true, "262626", 0.5, "#2626267F"},
      {"UILabel", true, "808080", 1.0, "#808080FF"},
      {"UILabel", true, "FFFFFF", 1.0, "#FFFFFFFF"},
      {"UILabel", true, nullptr, 0, "nil"},
      {"UILabel", false, "333333", 1.0, "#333333FF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.className) + (c.themeOn ? " on, " : " off, ") +
                 (c.requested ? c.requested : "nil") + " at alpha " + std::to_string(c.alpha));
    c.themeOn ? RemoveSettings() : WriteSettings({{"enabled", false}});
    id view = MakeView(c.className);
    id requested = c.requested ? Keep(NewHexColour(c.requested, c.alpha)) : nullptr;
    device::ClearTrace();
    Send(view, "setTextColor:", requested);
    EXPECT_EQ(SavedSetterCalls(view), c.reached);
  }
}

// UILabel's own layoutSubviews calls UIView's, so each run of the saved label layout leaves two
// "layoutSubviews" calls in the trace.
TEST_F(TextTest, LabelLayoutRecoloursItsThreeColoursOnlyAndRunsTheSavedLayoutOnceThen) {
  struct Case {
    const char* name;
    double red, green, blue, alpha;
    bool recoloured;
  };
  const Case cases[] = {
      {"bright cyan, exactly", 0.032, 1.0, 1.0, 1.0, true},
      {"bright cyan by 8-bit steps only", 0.0321, 1.0, 1.0, 1.0, false},
      {"262626", 0x26 / 255.0, 0x26 / 255.0, 0x26 / 255.0, 1.0, true},
      {"black at alpha 0.6", 0.0, 0.0, 0.0, 0.6, true},
      {"black at alpha 0.59", 0.0, 0.0, 0.0, 0.59, false},
      {"opaque black", 0.0, 0.0, 0.0, 1.0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    id label =
        ViewWithTextColour("UILabel", Keep(device::NewRGBColor(c.red, c.green, c.blue, c.alpha)));
    device::ClearTrace();
    Send(label, "layoutSubviews");
    EXPECT_EQ(device::CountCalls("layoutSubviews", label), c.recoloured ? 2U : 4U);
    EXPECT_EQ(SavedSetterCalls(label), c.recoloured ? kPaleCyan : "");
  }
}

TEST_F(TextTest, TextViewLayoutsRunTheSavedLayoutFirstThenTurnWhiteOrRunItTwice) {
  // One run of UITextView's saved layout leaves a "layoutSubviews" call of UITextView, of
  // UIScrollView and of UIView's saved layout, which UIView's replacement runs once with the theme
  // on and twice with it off; IGGrowingTextView's runs its own and UIView's.
  struct Case {
    const char* className;
    bool themeOn;
    std::size_t layouts;
    const char* setter;  // What reached the saved setter.
    const char* after;
  };
  const Case cases[] = {
      {"UITextView", true, 3, "#FFFFFFFF", "#FFFFFFFF"},
      {"UITextView", false, 8, "", "#00000099"},
      {"UILabel", false, 6, "", "#00000099"},
      {"IGGrowingTextView", true, 2, "#FFFFFFFF", "#FFFFFFFF"},
      {"IGGrowingTextView", false, 3, "#FFFFFFFF", "#FFFFFFFF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.className) + (c.themeOn ? " on" : " off"));
    id view = ViewWithTextColour(c.className, Keep(device::NewRGBColor(0.0, 0.0, 0.0, 0.6)));
    c.themeOn ? RemoveSettings() : WriteSettings({{"enabled", false}});
    device::ClearTrace();
    Send(view, "layoutSubviews");
    EXPECT_EQ(device::CountCalls("layoutSubviews", view), c.layouts);
    EXPECT_EQ(device::TraceCalls().at(0).selector, "layoutSubviews") << "the saved layout first";
    EXPECT_EQ(SavedSetterCalls(view), c.setter);
    EXPECT_EQ(device::TextColorText(view), c.after);
  }
}

class ReactNativeTextTest : public HostTest {
 protected:
  // The calls that reached `storage`, as "beginEditing | length | ...".
  static std::string CallsTo(id storage) {
    std::string calls;
    for (const device::TraceCall& call : device::TraceCalls()) {
      if (call.receiver == storage) calls += (calls.empty() ? "" : " | ") + call.Describe();
    }
    return calls;
  }
};

TEST_F(ReactNativeTextTest, SetTextStorageMakesEveryCharacterWhiteAndPassesEverythingOn) {
  for (const char* text : {"red, blue", ""}) {
    SCOPED_TRACE(std::string("\"") + text + "\"");
    WriteSettings({{"enabled", false}});  // No gate: the same with the theme off.
    id storage = Keep(device::NewTextStorage(text));
    const NSRange whole{0, std::strlen(text)};
    id font = Keep(device::NewString("Helvetica"));
    Send(storage, "addAttribute:value:range:", Keep(device::NewString("NSFont")), font, whole);
    Send(storage, "addAttribute:value:range:", Keep(device::NewString("NSColor")),
         Keep(NewHexColour("FF0000")), whole);
    id textView = MakeView("RCTTextView");
    id descendants = Keep(device::NewArray({}));
    const CGRect frame{{1.5, 2.5}, {300.25, 40.75}};
    device::ClearTrace();
    Send(textView, "setTextStorage:contentFrame:descendantViews:", storage, frame, descendants);
    for (unsigned long index = 0; index < whole.length; ++index) {
      EXPECT_EQ(
          device::ObjectArgument(device::TextStorageAttribute(storage, "NSColor", index)).text,
          "#FFFFFFFF");
      EXPECT_EQ(device::TextStorageAttribute(storage, "NSFont", index), font);
    }
    EXPECT_EQ(CallsTo(storage),
              "NSTextStorage beginEditing | NSTextStorage length | NSTextStorage "
              "addAttribute:value:range: \"NSColor\" #FFFFFFFF {0," +
                  std::to_string(whole.length) + "} | NSTextStorage endEditing");
    const auto saved = device::CallsOf("setTextStorage:contentFrame:descendantViews:", textView);
    ASSERT_EQ(saved.size(), 1U);
    EXPECT_EQ(saved[0].arguments[0].object, storage);
    EXPECT_EQ(saved[0].arguments[2].object, descendants);
    EXPECT_EQ(device::RectArgument(device::ContentFrameOf(textView)).text,
              "{1.5,2.5,300.25,40.75}");
  }
}

TEST_F(ReactNativeTextTest, TextDidChangeClearsTheTextBackgroundAfterTheSavedMethod) {
  WriteSettings({{"enabled", false}});  // No gate: the same with the theme off.
  id textView = MakeView("RCTUITextView");
  device::ClearTrace();
  Send(textView, "textDidChange");
  EXPECT_EQ(Steps(),
            "RCTUITextView textDidChange | RCTUITextView textStorage | NSTextStorage "
            "beginEditing | RCTUITextView textStorage | UIColor clearColor | "
            "RCTUITextView textStorage | NSTextStorage length | NSTextStorage "
            "addAttribute:value:range: \"NSBackgroundColor\" #00000000 {0,0} | "
            "RCTUITextView textStorage | NSTextStorage endEditing");
}

}  // namespace
