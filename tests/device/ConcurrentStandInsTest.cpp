// Reference counts and pools under eight threads at once, as the platform keeps them; the library's
// own queries run on eight threads in ConcurrentQueriesTest. Built with ThreadSanitizer
// (scripts/test.sh --threads), the same run also shows these stand-ins free of data races.
#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "device/Foundation/Foundation.h"
#include "device/QuartzCore/QuartzCoreDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

constexpr std::size_t kThreads = 8;
constexpr std::size_t kRounds = 300;

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

class ConcurrentStandInsTest : public testing::Test {};

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
