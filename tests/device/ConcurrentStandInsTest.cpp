// Eight threads at once through the stand-ins that the library's replacements reach, as the host
// lays out views on several threads: reference counts, pools, CGColors and image contexts behave
// as the platform's do, and every live count ends where it started. Built with ThreadSanitizer
// (scripts/test.sh --threads), the same run also shows the stand-ins free of data races.
#include <gtest/gtest.h>

#include <barrier>
#include <cstdint>
#include <exception>
#include <functional>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "UIKit/UIKit.h"
#include "device/CoreGraphics/CoreGraphicsDevice.h"
#include "device/Foundation/Foundation.h"
#include "device/QuartzCore/QuartzCoreDevice.h"
#include "device/UIKit/GraphicsDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"
#include "libcolorpicker.h"

namespace device {
namespace {

constexpr std::size_t kThreads = 8;
constexpr std::size_t kRounds = 300;

id ClassNamed(const char* name) {
  return reinterpret_cast<id>(objc_getClass(name));
}

// Runs `work` with each thread's index on kThreads threads, released at the same moment, and
// answers what each reported: an empty string for a thread whose work went as expected.
std::vector<std::string> OnEveryThreadAtOnce(const std::function<std::string(std::size_t)>& work) {
  std::vector<std::string> reports(kThreads);
  std::latch start(static_cast<std::ptrdiff_t>(kThreads));
  std::vector<std::thread> threads;
  for (std::size_t index = 0; index < kThreads; ++index) {
    threads.emplace_back([&, index] {
      start.arrive_and_wait();
      try {
        reports[index] = work(index);
      } catch (const std::exception& error) {
        reports[index] = std::string("raised: ") + error.what();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  return reports;
}

void ExpectEveryThreadWentWell(const std::vector<std::string>& reports) {
  for (std::size_t index = 0; index < reports.size(); ++index) {
    EXPECT_EQ(reports[index], "") << "thread " << index;
  }
}

constexpr std::uint32_t kImagePixel = 0xFF00FF00;

// One round of what a layout pass does on thread `index`: colours made, autoreleased and released,
// the colour picker asked, and an image context of this thread's own drawn into with the shared
// image. Answers "" when all it saw was as expected.
std::string Round(id sharedImage, std::size_t index) {
  const auto red = static_cast<std::uint32_t>(index * 30);
  id owned = NewRGBColor(red / 255.0, 0x80 / 255.0, 0x80 / 255.0, 1.0);
  Message<id>(ClassNamed("UIColor"), "whiteColor");
  id text = NewString("thread");
  id picked = LCPParseColorString(
      text, Message<id>(ClassNamed("NSString"), "stringWithUTF8String:", "#102030"));
  if (ColorText(picked) != "#102030FF") return "the colour picker answered " + ColorText(picked);
  UIGraphicsBeginImageContext({8, 8});
  CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(),
                                 Message<CGColorRef>(owned, "CGColor"));
  CGContextFillRect(UIGraphicsGetCurrentContext(), {{0, 0}, {4, 8}});
  Message(sharedImage, "drawInRect:", CGRect{{4, 0}, {4, 8}});
  const std::vector<std::uint32_t> pixels =
      ImagePixels(UIGraphicsGetImageFromCurrentImageContext());
  UIGraphicsEndImageContext();
  if (pixels.size() != 64 || pixels[0] != (0xFF008080U | red << 16) || pixels[7] != kImagePixel) {
    return "drew into another thread's context";
  }
  Message(owned, "release");
  Message(text, "release");
  return "";
}

class ConcurrentStandInsTest : public testing::Test {
 protected:
  void SetUp() override { ClearTrace(); }
  void TearDown() override { ClearTrace(); }
};

// Image contexts are each thread's own, and nothing a layout pass makes outlives it.
TEST_F(ConcurrentStandInsTest, EightThreadsDrawAndCountAsOne) {
  const long objectsBefore = LiveObjects();
  const long cgBefore = LiveCGColors() + LiveCGImages() + LiveCGContexts();
  id image = NewSolidImage(4, 8, 1.0, kImagePixel);
  ExpectEveryThreadWentWell(OnEveryThreadAtOnce([&](std::size_t index) -> std::string {
    PausedTrace quiet;
    AutoreleasePool pool;
    for (std::size_t round = 0; round < kRounds; ++round) {
      std::string report = Round(image, index);
      if (!report.empty()) return report;
      pool.Drain();
    }
    return "";
  }));
  Message(image, "release");
  EXPECT_EQ(LiveObjects(), objectsBefore);
  EXPECT_EQ(LiveCGColors() + LiveCGImages() + LiveCGContexts(), cgBefore);
}

TEST_F(ConcurrentStandInsTest, EightThreadsRetainAndReleaseOneObjectExactly) {
  id shared = NewString("shared");
  ExpectEveryThreadWentWell(OnEveryThreadAtOnce([&](std::size_t) -> std::string {
    for (std::size_t round = 0; round < kRounds * 10; ++round) {
      Message(shared, "retain");
      Message(shared, "retain");
      Message(shared, "release");
      Message(shared, "release");
    }
    return "";
  }));
  EXPECT_EQ(RetainCountOf(shared), 1);
  Message(shared, "release");
}

// Every thread asks each new colour for its CGColor at the same moment. The message goes straight
// to the method, as the platform's dispatch does without a lock, so that nothing but the colour's
// own care orders the threads.
TEST_F(ConcurrentStandInsTest, ThreadsAskingANewColourForItsCGColorAtOnceGetOneCGColor) {
  constexpr std::size_t kColours = 200;
  const long cgColorsBefore = LiveCGColors();
  std::vector<id> colours;
  for (std::size_t index = 0; index < kColours; ++index) {
    colours.push_back(NewRGBColor(static_cast<double>(index) / kColours, 0.5, 0.5, 1.0));
  }
  SEL selector = sel_registerName("CGColor");
  auto* askCGColor = AsFunction<CGColorRef(id, SEL)>(
      class_getMethodImplementation(objc_getClass("UIColor"), selector));
  std::vector<std::vector<CGColorRef>> seen(kThreads, std::vector<CGColorRef>(kColours));
  std::barrier together(static_cast<std::ptrdiff_t>(kThreads));
  ExpectEveryThreadWentWell(OnEveryThreadAtOnce([&](std::size_t thread) -> std::string {
    PausedTrace quiet;
    for (std::size_t index = 0; index < kColours; ++index) {
      together.arrive_and_wait();
      seen[thread][index] = askCGColor(colours[index], selector);
    }
    return "";
  }));
  for (std::size_t index = 0; index < kColours; ++index) {
    for (std::size_t thread = 1; thread < kThreads; ++thread) {
      ASSERT_EQ(seen[thread][index], seen[0][index]) << "colour " << index << ", thread " << thread;
    }
  }
  EXPECT_EQ(LiveCGColors(), cgColorsBefore + static_cast<long>(kColours));
  for (id colour : colours) Message(colour, "release");
  EXPECT_EQ(LiveCGColors(), cgColorsBefore);
}

TEST_F(ConcurrentStandInsTest, APoolIsItsThreadsAlone) {
  AutoreleasePool pool;
  id held = Message<id>(NewString("held by this thread's pool"), "autorelease");
  const long stringsBefore = LiveObjects("NSString");
  std::string otherThread;
  std::thread([&] {
    {
      AutoreleasePool own;
      Message<id>(NewString("the other thread's"), "autorelease");
    }
    try {
      pool.Drain();
      otherThread = "drained a pool of another thread";
    } catch (const PlatformException&) {
    }
    id stray = NewString("no pool on this thread");
    try {
      Message<id>(stray, "autorelease");
      otherThread += "; autoreleased into another thread's pool";
    } catch (const PlatformException&) {
      Message(stray, "release");
    }
  }).join();
  EXPECT_EQ(otherThread, "");
  EXPECT_EQ(RetainCountOf(held), 1);
  EXPECT_EQ(LiveObjects("NSString"), stringsBefore);
}

}  // namespace
}  // namespace device

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  device::StartRuntime();
  device::RegisterFoundation();
  device::RegisterQuartzCore();
  device::RegisterUIKit();
  return RUN_ALL_TESTS();
}
