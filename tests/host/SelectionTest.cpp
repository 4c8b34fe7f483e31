// Selection and highlight of the host's cells.
#include "tests/host/HostTest.h"

namespace {

class SelectionTest : public HostTest {
 protected:
  // A cell at 0,88 of 375 by 44, selected beforehand (with the theme off) or not.
  id Cell(const char* className, bool selected = false) {
    id cell = MakeView(className);
    device::PausedTrace quiet;
    Send(cell, "setFrame:", CGRect{{0, 88}, {375, 44}});
    if (selected) {
      WriteSettings({{"enabled", false}});
      Send(cell, "setSelected:animated:", true, false);
      RemoveSettings();
    }
    return cell;
  }
};

constexpr const char* kSelectableCells[] = {"IGThreadInfoUserTableViewCell", "IGTableViewCell"};

TEST_F(SelectionTest, ShowHighlightDoesNothingWhateverTheSettings) {
  for (const bool themeOn : {true, false}) {
    if (!themeOn) WriteSettings({{"enabled", false}});
    id cell = Cell("IGCommentCell");
    device::ClearTrace();
    Send(cell, "showHighlight");
    EXPECT_EQ(Steps(), "") << (themeOn ? "theme on" : "theme off");
  }
}

TEST_F(SelectionTest, ThemeOffPassesBothFlagsOnAndMakesNoView) {
  WriteSettings({{"enabled", false}});
  for (const char* className : kSelectableCells) {
    id cell = Cell(className);
    const long viewsBefore = device::LiveObjects("UIView");
    device::ClearTrace();
    Send(cell, "setSelected:animated:", true, true);
    Send(cell, "setSelected:animated:", false, false);
    EXPECT_EQ(Steps({"setSelected:animated:"}), std::string(className) +
                                                    " setSelected:animated: YES YES | " +
                                                    className + " setSelected:animated: NO NO");
    EXPECT_EQ(device::LiveObjects("UIView"), viewsBefore) << className;
  }
}

TEST_F(SelectionTest, ThemeOnInstallsAClearViewWithTheCellsFrameAndKeepsTheSelection) {
  for (const char* className : kSelectableCells) {
    for (const bool wasSelected : {false, true}) {
      for (const bool selected : {true, false}) {
        SCOPED_TRACE(std::string(className) + (wasSelected ? " selected, " : " unselected, ") +
                     (selected ? "YES" : "NO"));
        id cell = Cell(className, wasSelected);
        device::ClearTrace();
        Send(cell, "setSelected:animated:", selected, true);
        EXPECT_EQ(device::CountCalls("setSelected:animated:", cell), 0U);
        EXPECT_EQ(Send<bool>(cell, "isSelected"), wasSelected);
        id background = Send<id>(cell, "selectedBackgroundView");
        ASSERT_NE(background, nullptr);
        EXPECT_STREQ(object_getClassName(background), "UIView");
        EXPECT_EQ(BackgroundOf(background), "#00000000");
        EXPECT_EQ(device::RectArgument(Send<CGRect>(background, "frame")).text, "{0,88,375,44}");
        EXPECT_EQ(device::RetainCountOf(background), 1) << "the cell holds the only reference";
      }
    }
  }
}

TEST_F(SelectionTest, TwoSelectionsLeaveTheSecondViewAndFreeTheFirst) {
  id cell = Cell("IGTableViewCell");
  const long viewsBefore = device::LiveObjects("UIView");
  Send(cell, "setSelected:animated:", true, false);
  id first = Send<id>(cell, "selectedBackgroundView");
  Send(cell, "setSelected:animated:", true, false);
  EXPECT_NE(Send<id>(cell, "selectedBackgroundView"), first);
  EXPECT_EQ(device::LiveObjects("UIView"), viewsBefore + 1) << "the first view was not freed";
}

}  // namespace
