// Eight threads at once through the stand-ins that the library's replacements reach, as the host
// lays out views on several threads: colours and strings made, autoreleased and released, one
// colour and one image shared by all, CGColors read, image contexts drawn into, the trace recorded
// into by some threads while others pause. Afterwards every live count is back where it started.
// Built with ThreadSanitizer (scripts/test.sh --threads), the same run also proves the absence of
// data races in the stand-ins.
#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <cstdint>
#include <exception>
#include <functional>
#include <latch>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/Foundation.h"
#include "UIKit/UIKit.h"
#include "device/CoreGraphics/BitmapDevice.h"
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

// Every count that a leak or a lost update would move.
struct LiveCounts {
  long objects;
  long colours;
  long strings;
  long images;
  long cgColors;
  long cgImages;
  long cgContexts;
  bool operator==(const LiveCounts&) const = default;
};

LiveCounts CountsNow() {
  return {LiveObjects(),  LiveObjects("UIColor"), LiveObjects("NSString"), LiveObjects("UIImage"),
          LiveCGColors(), LiveCGImages(),         LiveCGContexts()};
}

std::string Describe(const LiveCounts& c) {
  return "objects " + std::to_string(c.objects) + ", UIColors " + std::to_string(c.colours) +
         ", NSStrings " + std::to_string(c.strings) + ", UIImages " + std::to_string(c.images) +
         ", CGColors " + std::to_string(c.cgColors) + ", CGImages " + std::to_string(c.cgImages) +
         ", CGContexts " + std::to_string(c.cgContexts);
}

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

// Straight 0xAARRGGBB of an opaque colour from its bytes.
std::uint32_t Opaque(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return 0xFF000000U | red << 16 | green << 8 | blue;
}

// What the shared objects are, and what every thread saw of them.
struct Shared {
  id colour;
  id image;  // 4 by 8 pixels of kImagePixel.
  std::atomic<CGColorRef> firstCGColorSeen{nullptr};
  std::vector<id> markers;  // One string per thread, whose -length counts its recorded rounds.
};
constexpr std::uint32_t kImagePixel = 0xFF00FF00;

// One round of what a layout pass does with colours, strings, images and the trace, on thread
// `index`. Answers "" when everything it could see for itself was as expected.
std::string Round(Shared& shared, std::size_t index, std::size_t round) {
  const auto red = static_cast<std::uint32_t>(index * 30);
  const auto green = static_cast<std::uint32_t>(round % 256);
  id owned = NewRGBColor(red / 255.0, green / 255.0, 0x80 / 255.0, 1.0);
  Message<id>(ClassNamed("UIColor"), "colorWithRed:green:blue:alpha:", 0.1, 0.2, 0.3, 1.0);
  Message<id>(ClassNamed("UIColor"), "whiteColor");
  id text = NewString("thread");
  Message<id>(ClassNamed("NSString"), "stringWithUTF8String:", "round");
  id picked = LCPParseColorString(
      text, Message<id>(ClassNamed("NSString"), "stringWithUTF8String:", "#102030"));
  if (ColorText(picked) != "#102030FF") return "the colour picker answered " + ColorText(picked);

  // The shared colour: retained, read and released by every thread at once.
  Message(shared.colour, "retain");
  auto* sharedCG = Message<CGColorRef>(shared.colour, "CGColor");
  CGColorRef expected = nullptr;
  if (!shared.firstCGColorSeen.compare_exchange_strong(expected, sharedCG) &&
      expected != sharedCG) {
    return "two threads were given different CGColors for one colour";
  }
  if (CGColorText(sharedCG) != "#336699FF")
    return "the shared CGColor reads " + CGColorText(sharedCG);
  Message(shared.colour, "release");

  // This thread's own image context: the left half filled with its own colour, the right half
  // with the shared image.
  UIGraphicsBeginImageContext({8, 8});
  CGContextRef context = UIGraphicsGetCurrentContext();
  CGContextSetFillColorWithColor(context, Message<CGColorRef>(owned, "CGColor"));
  CGContextFillRect(context, {{0, 0}, {4, 8}});
  Message(shared.image, "drawInRect:", CGRect{{4, 0}, {4, 8}});
  id drawn = UIGraphicsGetImageFromCurrentImageContext();
  UIGraphicsEndImageContext();
  const std::vector<std::uint32_t> pixels = ImagePixels(drawn);
  if (pixels.size() != 64 || pixels[0] != Opaque(red, green, 0x80) || pixels[7] != kImagePixel) {
    return "round " + std::to_string(round) + " drew into another thread's context";
  }

  Message<unsigned long>(shared.markers[index], "length");
  const bool systemKnown =
      Message<bool>(Message<id>(ClassNamed("NSProcessInfo"), "processInfo"),
                    "isOperatingSystemAtLeastVersion:", NSOperatingSystemVersion{1, 0, 0});
  if (!systemKnown) return "the system version read below 1.0.0";
  Message(owned, "release");
  Message(text, "release");
  return "";
}

class ConcurrentStandInsTest : public testing::Test {
 protected:
  void SetUp() override { ClearTrace(); }
  void TearDown() override { ClearTrace(); }
};

TEST_F(ConcurrentStandInsTest, EightThreadsLeaveEveryCountWhereItWas) {
  const LiveCounts before = CountsNow();
  Shared shared;
  shared.colour = NewRGBColor(0x33 / 255.0, 0x66 / 255.0, 0x99 / 255.0, 1.0);
  shared.image = NewSolidImage(4, 8, 1.0, kImagePixel);
  for (std::size_t index = 0; index < kThreads; ++index) {
    shared.markers.push_back(NewString("marker"));
  }

  // Even threads record; odd threads pause for the whole run, which must silence only them.
  ExpectEveryThreadWentWell(OnEveryThreadAtOnce([&](std::size_t index) -> std::string {
    std::optional<PausedTrace> quiet;
    if (index % 2 == 1) quiet.emplace();
    AutoreleasePool pool;
    for (std::size_t round = 0; round < kRounds; ++round) {
      std::string report = Round(shared, index, round);
      if (!report.empty()) return report;
      pool.Drain();
    }
    return "";
  }));

  EXPECT_EQ(RetainCountOf(shared.colour), 1);
  for (std::size_t index = 0; index < kThreads; ++index) {
    EXPECT_EQ(CountCalls("length", shared.markers[index]), index % 2 == 0 ? kRounds : 0U)
        << "thread " << index;
  }
  EXPECT_EQ(CountCalls("drawInRect:", shared.image), kThreads / 2 * kRounds)
      << "every recorded call is kept, whichever thread made it";
  for (id made : shared.markers) Message(made, "release");
  Message(shared.image, "release");
  Message(shared.colour, "release");
  EXPECT_EQ(Describe(CountsNow()), Describe(before));
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

TEST_F(ConcurrentStandInsTest, PausingSilencesOnlyThePausingThread) {
  id marker = NewString("marker");
  {
    PausedTrace quiet;
    Message<unsigned long>(marker, "length");
    std::thread([&] { Message<unsigned long>(marker, "length"); }).join();
  }
  EXPECT_EQ(CountCalls("length", marker), 1U);
  Message(marker, "release");
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
