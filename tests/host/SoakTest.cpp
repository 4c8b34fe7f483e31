// A long run of themed layout passes and colour lookups, as a host lays out its screens for hours:
// afterwards every live-object count (colours, CGColors, every object) is where it started, so the
// library leaks nothing and over-releases nothing on any road it takes often.
#include <gtest/gtest.h>

#include "device/CoreGraphics/CoreGraphicsDevice.h"
#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/host/SettingsWriter.h"
#include "device/host/SimulatedHost.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace {

constexpr int kRounds = 100000;
constexpr int kRoundsPerPool = 1000;

device::SimulatedHost* host = nullptr;

id ClassObject(const char* name) {
  return reinterpret_cast<id>(objc_getClass(name));
}

TEST(SoakTest, LeavesEveryLiveObjectCountWhereItWas) {
  device::PausedTrace quiet;
  device::WriteSettingsFile(host->SettingsPath(),
                            {{"enabled", true}, {"MainBGColor", std::string("#101010")}});
  const long coloursBefore = device::LiveObjects("UIColor");
  const long cgColoursBefore = device::LiveCGColors();
  const long objectsBefore = device::LiveObjects();
  {
    id view = device::NewView("UIView");
    id black = device::NewGreyColor(0.0, 1.0);
    id grey = device::NewRGBColor(0.8, 0.8, 0.8, 1.0);
    for (int round = 0; round < kRounds; round += kRoundsPerPool) {
      device::AutoreleasePool pool;
      for (int inner = 0; inner < kRoundsPerPool; ++inner) {
        // Black passes the setter and a light grey border is listed: both are repainted, the
        // longest road of a layout pass.
        device::Message(view, "setBackgroundColor:", black);
        device::Message(device::Message<id>(view, "layer"),
                        "setBorderColor:", device::Message<CGColorRef>(grey, "CGColor"));
        device::Message(view, "layoutSubviews");
        device::Message<id>(ClassObject("IGColors"), "textColor");
      }
    }
    ASSERT_EQ(device::ColorText(device::Message<id>(view, "backgroundColor")), "#101010FF");
    device::Message(grey, "release");
    device::Message(black, "release");
    device::Message(view, "release");
  }
  EXPECT_EQ(device::LiveObjects("UIColor"), coloursBefore);
  EXPECT_EQ(device::LiveCGColors(), cgColoursBefore);
  EXPECT_EQ(device::LiveObjects(), objectsBefore);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Zombies are kept, never freed; a soak would keep millions of them.
  device::SetZombiesEnabled(false);
  device::SimulatedHost simulated;
  simulated.Launch();
  host = &simulated;
  return RUN_ALL_TESTS();
}
