// Eight threads ask the library's replacements for colours and the master switch while another
// thread keeps replacing the settings file, as the preferences pane does, by renaming a new file
// over it. Queries share nothing and take no lock, so every answer must be one that some version
// of the file gives (or the fallback, or the host's own with the theme off), and nothing may leak.
// Run under ThreadSanitizer too (label "threads").
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/host/SettingsWriter.h"
#include "device/host/SimulatedHost.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace {

constexpr int kQueryingThreads = 8;
constexpr int kQueriesPerThread = 400;

device::SimulatedHost* host = nullptr;

id ClassObject(const char* name) {
  return reinterpret_cast<id>(objc_getClass(name));
}

// What the getters answer with the theme off: the host's own colours.
struct OwnAnswers {
  std::string text;
  std::string navigationBar;
  long keyboard = 0;
};

struct Version {
  device::SettingEntries entries;
  device::PropertyListFormat format;
};

const std::vector<Version>& Versions() {
  static const std::vector<Version> versions = {
      {{{"Text", std::string("#FF0000")}}, device::PropertyListFormat::kXml},
      {{{"Text", std::string("#00FF00")}, {"enabled", true}}, device::PropertyListFormat::kBinary},
      {{{"Text", std::string("#0000FF")}, {"enabled", false}}, device::PropertyListFormat::kXml},
      {{{"enabled", std::string("YES")}, {"MainBGColor", std::string("#123456")}},
       device::PropertyListFormat::kBinary},
  };
  return versions;
}

// Writes each version beside the settings file and renames it over, or removes the file, in turn,
// until told to stop.
void ReplaceSettingsUntil(const std::atomic<bool>& stop) {
  const std::filesystem::path path = host->SettingsPath();
  const std::filesystem::path beside = path.string() + ".new";
  for (std::size_t round = 0; !stop.load(); ++round) {
    const std::size_t which = round % (Versions().size() + 1);
    if (which == Versions().size()) {
      std::filesystem::remove(path);
      continue;
    }
    device::WriteSettingsFile(beside, Versions()[which].entries, Versions()[which].format);
    std::filesystem::rename(beside, path);
  }
}

TEST(ConcurrentQueriesTest, EveryAnswerComesFromSomeVersionOfTheFile) {
  OwnAnswers own;
  {
    device::PausedTrace quiet;
    device::AutoreleasePool pool;
    device::WriteSettingsFile(host->SettingsPath(), {{"enabled", false}});
    own.text = device::ColorText(device::Message<id>(ClassObject("IGColors"), "textColor"));
    own.navigationBar = device::ColorText(
        device::Message<id>(ClassObject("IGColors"), "navigationBarBackgroundColor"));
    id traits =
        device::Message<id>(device::Message<id>(ClassObject("UITextInputTraits"), "alloc"), "init");
    own.keyboard = device::Message<long>(traits, "keyboardAppearance");
    device::Message(traits, "release");
  }
  const std::set<std::string> texts = {"#FF0000FF", "#00FF00FF", "#0000FFFF", "#FFFFFFFF",
                                       own.text};
  const std::set<std::string> navigationBars = {"#123456FF", "#000000FF", own.navigationBar};
  const std::set<long> keyboards = {1, own.keyboard};
  const long objectsBefore = device::LiveObjects();

  std::atomic<bool> stop{false};
  std::thread writer(ReplaceSettingsUntil, std::cref(stop));
  std::vector<std::thread> queriers;
  queriers.reserve(kQueryingThreads);
  std::atomic<int> strayAnswers{0};
  for (int thread = 0; thread < kQueryingThreads; ++thread) {
    queriers.emplace_back([&] {
      device::PausedTrace quiet;
      id traits = device::Message<id>(
          device::Message<id>(ClassObject("UITextInputTraits"), "alloc"), "init");
      for (int query = 0; query < kQueriesPerThread; ++query) {
        device::AutoreleasePool pool;
        const std::string text =
            device::ColorText(device::Message<id>(ClassObject("IGColors"), "textColor"));
        const std::string bar = device::ColorText(
            device::Message<id>(ClassObject("IGColors"), "navigationBarBackgroundColor"));
        const long keyboard = device::Message<long>(traits, "keyboardAppearance");
        if (!texts.contains(text) || !navigationBars.contains(bar) ||
            !keyboards.contains(keyboard)) {
          ++strayAnswers;
          ADD_FAILURE() << "an answer of no version: text " << text << ", bar " << bar
                        << ", keyboard " << keyboard;
        }
      }
      device::Message(traits, "release");
    });
  }
  for (std::thread& querier : queriers) querier.join();
  stop.store(true);
  writer.join();
  EXPECT_EQ(strayAnswers.load(), 0);
  EXPECT_EQ(device::LiveObjects(), objectsBefore) << "objects leaked or over-released";
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  device::SimulatedHost simulated;
  simulated.Launch();
  host = &simulated;
  return RUN_ALL_TESTS();
}
