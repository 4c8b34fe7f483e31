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
  // The colours that reached the saved setTextColor: of `view`, oldest first.
  std::vector<std::string> SavedSetterCalls(id view) {
    std::vector<std::string> colours;
    for (const device::TraceCall& call : device::CallsOf("setTextColor:", view)) {
      colours.push_back(call.arguments.at(0).text);
    }
    return colours;
  }

  // Asks `view` to take `requested` and answers what reached its saved setter.
  std::vector<std::string> SetTextColour(id view, id requested) {
    device::ClearTrace();
    Send(view, "setTextColor:", requested);
    return SavedSetterCalls(view);
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

  using Calls = std::vector<std::string>;
};

TEST_F(TextTest, FieldSettersGiveTheirFixedColourForAnyRequestWhileTheThemeIsOn) {
  struct Case {
    const char* className;
    const char* fixed;
  };
  for (const Case& c : {Case{"UITextField", kPaleCyan}, Case{"UITextFieldLabel", kPaleGrey},
                        Case{"UITextView", "#FFFFFFFF"}}) {
    SCOPED_TRACE(c.className);
    id view = MakeView(c.className);
    EXPECT_EQ(SetTextColour(view, Keep(device::NewGreyColor(1.0, 1.0))), Calls{c.fixed});
    EXPECT_EQ(SetTextColour(view, nullptr), Calls{c.fixed});
    WriteSettings({{"enabled", false}});
    EXPECT_EQ(SetTextColour(view, Keep(NewHexColour("123456"))), Calls{"#123456FF"});
    EXPECT_EQ(SetTextColour(view, nullptr), Calls{"nil"});
    RemoveSettings();
  }
}

TEST_F(TextTest, TheGrowingTextViewIsWhiteWhateverTheSettingsSay) {
  id view = MakeView("IGGrowingTextView");
  EXPECT_EQ(SetTextColour(view, Keep(NewHexColour("123456"))), Calls{"#FFFFFFFF"});
  WriteSettings({{"enabled", false}});
  EXPECT_EQ(SetTextColour(view, Keep(NewHexColour("123456"))), Calls{"#FFFFFFFF"});
  EXPECT_EQ(SetTextColour(view, nullptr), Calls{"#FFFFFFFF"});
}

TEST_F(TextTest, LabelSetterSwapsItsListAndRepeatsTheDarkGreyWithCyan) {
  struct Case {
    const char* requestedHex;  // nullptr for nil
    double alpha;
    Calls reachedTheSavedSetter;
  };
  const Case cases[] = {
      {"000000", 1.0, {kPaleCyan}},   {"16191C", 1.0, {kPaleCyan}},
      {"262626", 1.0, {kPaleCyan}},   {"333333", 1.0, {"#333333FF", kPaleCyan}},
      {"262626", 0.5, {"#2626267F"}}, {"808080", 1.0, {"#808080FF"}},
      {"FFFFFF", 1.0, {"#FFFFFFFF"}}, {nullptr, 0.0, {"nil"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.requestedHex ? c.requestedHex : "nil") + " at alpha " +
                 std::to_string(c.alpha));
    id label = MakeView("UILabel");
    id requested = c.requestedHex ? Keep(NewHexColour(c.requestedHex, c.alpha)) : nullptr;
    EXPECT_EQ(SetTextColour(label, requested), c.reachedTheSavedSetter);
  }
  WriteSettings({{"enabled", false}});
  EXPECT_EQ(SetTextColour(MakeView("UILabel"), Keep(NewHexColour("333333"))), Calls{"#333333FF"});
}

// UILabel's own layoutSubviews calls UIView's, so each run of the saved label layout leaves two
// "layoutSubviews" calls in the trace.
constexpr size_t kCallsPerLabelLayout = 2;

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
    const size_t savedLayouts = device::CountCalls("layoutSubviews", label) / kCallsPerLabelLayout;
    EXPECT_EQ(savedLayouts, c.recoloured ? 1u : 2u);
    EXPECT_EQ(SavedSetterCalls(label), c.recoloured ? Calls{kPaleCyan} : Calls{});
  }
}

// One run of UITextView's saved layout leaves a "layoutSubviews" call of UITextView, of
// UIScrollView, and of UIView's saved layout, which UIView's replacement runs once with the theme
// on and twice with it off.
constexpr size_t kCallsPerTextViewLayoutThemeOn = 3;
constexpr size_t kCallsPerTextViewLayoutThemeOff = 4;

TEST_F(TextTest, TextViewLayoutRunsTheSavedLayoutFirstWithTheThemeOnAndTwiceWithItOff) {
  id view = ViewWithTextColour("UITextView", Keep(device::NewGreyColor(0.5, 1.0)));
  device::ClearTrace();
  Send(view, "layoutSubviews");
  EXPECT_EQ(device::CountCalls("layoutSubviews", view), kCallsPerTextViewLayoutThemeOn);
  EXPECT_EQ(device::TraceCalls().at(0).selector, "layoutSubviews") << "the saved layout first";

  WriteSettings({{"enabled", false}});
  device::ClearTrace();
  Send(view, "layoutSubviews");
  EXPECT_EQ(device::CountCalls("layoutSubviews", view), 2 * kCallsPerTextViewLayoutThemeOff);
}

TEST_F(TextTest, LayoutsWithTheThemeOffRunTwiceAndChangeNoColour) {
  WriteSettings({{"enabled", false}});
  for (const char* className : {"UILabel", "UITextView"}) {
    SCOPED_TRACE(className);
    id view = ViewWithTextColour(className, Keep(device::NewRGBColor(0.0, 0.0, 0.0, 0.6)));
    WriteSettings({{"enabled", false}});
    device::ClearTrace();
    Send(view, "layoutSubviews");
    EXPECT_EQ(device::CountCalls("layoutSubviews", view) % 2, 0u);
    EXPECT_GE(device::CountCalls("layoutSubviews", view), 4u) << "the saved layout ran twice";
    EXPECT_EQ(SavedSetterCalls(view), Calls{});
    EXPECT_EQ(device::TextColorText(view), "#00000099");
  }
}

TEST_F(TextTest, TextViewLayoutsPassWhiteThroughTheirOwnSetterReplacement) {
  id textView = ViewWithTextColour("UITextView", Keep(NewHexColour("123456")));
  device::ClearTrace();
  Send(textView, "layoutSubviews");
  EXPECT_EQ(SavedSetterCalls(textView), Calls{"#FFFFFFFF"});

  WriteSettings({{"enabled", false}});
  id growing = ViewWithTextColour("IGGrowingTextView", Keep(NewHexColour("123456")));
  WriteSettings({{"enabled", false}});
  device::ClearTrace();
  Send(growing, "layoutSubviews");
  EXPECT_EQ(SavedSetterCalls(growing), Calls{"#FFFFFFFF"});
  // The host's own layout runs, and before the white: a layout could otherwise undo it.
  Calls steps;
  for (const device::TraceCall& call : device::TraceCalls()) {
    if (call.receiver == growing && (steps.empty() || steps.back() != call.selector)) {
      steps.push_back(call.selector);
    }
  }
  EXPECT_EQ(steps, (Calls{"layoutSubviews", "setTextColor:"}));
  EXPECT_EQ(device::TextColorText(growing), "#FFFFFFFF");
}

class ReactNativeTextTest : public TextTest {
 protected:
  id Storage(const char* text) { return Keep(device::NewTextStorage(text)); }

  std::string AttributeAt(id storage, const char* name, unsigned long index) {
    return device::ObjectArgument(device::TextStorageAttribute(storage, name, index)).text;
  }

  std::vector<std::string> CallsTo(id storage) {
    std::vector<std::string> calls;
    for (const device::TraceCall& call : device::TraceCalls()) {
      if (call.receiver == storage) calls.push_back(call.Describe());
    }
    return calls;
  }
};

TEST_F(ReactNativeTextTest, SetTextStorageMakesEveryCharacterWhiteAndPassesEverythingOn) {
  WriteSettings({{"enabled", false}});  // No gate: the same with the theme off.
  id storage = Storage("red, blue");
  id font = Keep(device::NewString("Helvetica"));
  Send(storage, "addAttribute:value:range:", Keep(device::NewString("NSFont")), font,
       NSRange{0, 9});
  Send(storage, "addAttribute:value:range:", Keep(device::NewString("NSColor")),
       Keep(NewHexColour("FF0000")), NSRange{0, 4});
  Send(storage, "addAttribute:value:range:", Keep(device::NewString("NSColor")),
       Keep(NewHexColour("0000FF")), NSRange{5, 4});
  id textView = MakeView("RCTTextView");
  id descendants = Keep(device::NewArray({}));
  const CGRect frame{{1.5, 2.5}, {300.25, 40.75}};
  device::ClearTrace();
  Send(textView, "setTextStorage:contentFrame:descendantViews:", storage, frame, descendants);

  for (unsigned long index = 0; index < 9; ++index) {
    SCOPED_TRACE(index);
    EXPECT_EQ(AttributeAt(storage, "NSColor", index), "#FFFFFFFF");
    EXPECT_EQ(device::TextStorageAttribute(storage, "NSFont", index), font);
  }
  const std::vector<device::TraceCall> saved =
      device::CallsOf("setTextStorage:contentFrame:descendantViews:", textView);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].arguments[0].object, storage);
  EXPECT_EQ(saved[0].arguments[2].object, descendants);
  const CGRect arrived = device::ContentFrameOf(textView);
  EXPECT_EQ(arrived.origin.x, 1.5);
  EXPECT_EQ(arrived.origin.y, 2.5);
  EXPECT_EQ(arrived.size.width, 300.25);
  EXPECT_EQ(arrived.size.height, 40.75);
  EXPECT_EQ(CallsTo(storage),
            (std::vector<std::string>{"NSTextStorage beginEditing", "NSTextStorage length",
                                      "NSTextStorage addAttribute:value:range: \"NSColor\" "
                                      "#FFFFFFFF {0,9}",
                                      "NSTextStorage endEditing"}));
}

TEST_F(ReactNativeTextTest, AnEmptyStorageIsStillBracketedAndHandedOn) {
  id storage = Storage("");
  id textView = MakeView("RCTTextView");
  device::ClearTrace();
  Send(textView, "setTextStorage:contentFrame:descendantViews:", storage, CGRect{}, nullptr);
  EXPECT_EQ(CallsTo(storage),
            (std::vector<std::string>{"NSTextStorage beginEditing", "NSTextStorage length",
                                      "NSTextStorage addAttribute:value:range: \"NSColor\" "
                                      "#FFFFFFFF {0,0}",
                                      "NSTextStorage endEditing"}));
  EXPECT_EQ(device::CountCalls("setTextStorage:contentFrame:descendantViews:", textView), 1u);
}

TEST_F(ReactNativeTextTest, TextDidChangeClearsTheTextBackgroundAfterTheSavedMethod) {
  WriteSettings({{"enabled", false}});  // No gate: the same with the theme off.
  id textView = MakeView("RCTUITextView");
  device::ClearTrace();
  Send(textView, "textDidChange");
  std::vector<std::string> order;
  for (const device::TraceCall& call : device::TraceCalls()) order.push_back(call.Describe());
  EXPECT_EQ(order, (std::vector<std::string>{
                       "RCTUITextView textDidChange", "RCTUITextView textStorage",
                       "NSTextStorage beginEditing", "RCTUITextView textStorage",
                       "UIColor clearColor", "RCTUITextView textStorage", "NSTextStorage length",
                       "NSTextStorage addAttribute:value:range: \"NSBackgroundColor\" "
                       "#00000000 {0,0}",
                       "RCTUITextView textStorage", "NSTextStorage endEditing"}));
}

}  // namespace
