// Selection and highlight of the host's cells.
#include "tests/host/HostTest.h"

namespace {

class SelectionTest : public HostTest {
 protected:
  id Cell(const char* className) {
    id cell = MakeView(className);
    device::PausedTrace quiet;
    Send(cell, "setFrame:", CGRect{{0, 88}, {375, 44}});
    return cell;
  }
};

constexpr const char* kSelectableCells[] = {"IGThreadInfoUserTableViewCell", "IGTableViewCell"};

TEST_F(SelectionTest, ShowHighlightDoesNothingWhateverTheSettings) {
  for (bool themeOn : {true, false}) {
    SCOPED_TRACE(themeOn ? "theme on" : "theme off");
    if (!themeOn) WriteSettings({{"enabled", false}});
    id cell = Cell("IGCommentCell");
    device::ClearTrace();
    Send(cell, "showHighlight");
    EXPECT_TRUE(device::TraceCalls().empty()) << device::TraceCalls().front().Describe();
  }
}

TEST_F(SelectionTest, ThemeOffPassesBothFlagsOnAndMakesNoView) {
  WriteSettings({{"enabled", false}});
  for (const char* className : kSelectableCells) {
    SCOPED_TRACE(className);
    id cell = Cell(className);
    const long viewsBefore = device::LiveObjects("UIView");
    device::ClearTrace();
    Send(cell, "setSelected:animated:", true, true);
    Send(cell, "setSelected:animated:", false, false);
    const std::vector<device::TraceCall> calls = device::CallsOf("setSelected:animated:", cell);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].Describe(), std::string(className) + " setSelected:animated: YES YES");
    EXPECT_EQ(calls[1].Describe(), std::string(className) + " setSelected:animated: NO NO");
    EXPECT_EQ(device::LiveObjects("UIView"), viewsBefore);
  }
}

TEST_F(SelectionTest, ThemeOnInstallsAClearViewWithTheCellsFrameAndKeepsTheSelection) {
  for (const char* className : kSelectableCells) {
    for (bool selected : {true, false}) {
      SCOPED_TRACE(std::string(className) + (selected ? " YES" : " NO"));
      id cell = Cell(className);
      device::ClearTrace();
      Send(cell, "setSelected:animated:", selected, true);
      EXPECT_EQ(device::CountCalls("setSelected:animated:", cell), 0u);
      EXPECT_FALSE(Send<bool>(cell, "isSelected"));
      id background = Send<id>(cell, "selectedBackgroundView");
      ASSERT_NE(background, nullptr);
      EXPECT_STREQ(object_getClassName(background), "UIView");
      EXPECT_EQ(BackgroundOf(background), "#00000000");
      const auto frame = Send<CGRect>(background, "frame");
      EXPECT_EQ(frame.origin.y, 88);
      EXPECT_EQ(frame.size.width, 375);
      EXPECT_EQ(frame.size.height, 44);
      EXPECT_EQ(device::RetainCountOf(background), 1) << "the cell holds the only reference";
    }
  }
}

TEST_F(SelectionTest, ThemeOnLeavesACellThatWasSelectedSelected) {
  for (const char* className : kSelectableCells) {
    for (bool selected : {true, false}) {
      SCOPED_TRACE(std::string(className) + (selected ? " YES" : " NO"));
      id cell = Cell(className);
      WriteSettings({{"enabled", false}});
      Send(cell, "setSelected:animated:", true, false);
      ASSERT_TRUE(Send<bool>(cell, "isSelected"));
      RemoveSettings();
      device::ClearTrace();
      Send(cell, "setSelected:animated:", selected, false);
      EXPECT_EQ(device::CountCalls("setSelected:animated:", cell), 0u);
      EXPECT_TRUE(Send<bool>(cell, "isSelected"));
      EXPECT_EQ(BackgroundOf(Send<id>(cell, "selectedBackgroundView")), "#00000000");
    }
  }
}

TEST_F(SelectionTest, TwoSelectionsLeaveTheSecondViewAndFreeTheFirst) {
  id cell = Cell("IGTableViewCell");
  const long viewsBefore = device::LiveObjects("UIView");
  Send(cell, "setSelected:animated:", true, false);
  id first = Send<id>(cell, "selectedBackgroundView");
  Send(cell, "setSelected:animated:", true, false);
  id second = Send<id>(cell, "selectedBackgroundView");
  EXPECT_NE(first, second);
  EXPECT_EQ(device::LiveObjects("UIView"), viewsBefore + 1) << "the first view was not freed";
  EXPECT_EQ(device::RetainCountOf(second), 1);
}

}  // namespace
