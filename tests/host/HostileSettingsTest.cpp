// Settings files that anyone could hand the host, each read through the library's replacements in
// the simulated host. Every case must come back promptly, with the theme on, with the colours the
// file gives or, where it gives none, the built-in ones, and with no object left behind. Special
// files (FIFOs, devices) are refused by the file reader itself, pinned in ReadRegularFileTest.
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "device/propertylist/BinaryPlistBuilder.h"
#include "settings/SettingsFile.h"
#include "tests/host/HostTest.h"

namespace {

using std::string_literals::operator""s;
using device::BinaryPlistBuilder;

constexpr const char* kBuiltInText = "#FFFFFFFF";
constexpr const char* kRed = "#FF0000FF";
// Longer than any of these files takes to read; a reader that expands or recurses takes minutes,
// or never comes back.
constexpr unsigned kPromptSeconds = 20;

std::string XmlSettings(const std::string& entries) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>" + entries +
         "</dict>\n</plist>\n";
}

// Forty arrays, each holding the next twice: a few hundred bytes whose tree has 2^40 nodes.
BinaryPlistBuilder::Index SharedReferences(BinaryPlistBuilder& builder) {
  BinaryPlistBuilder::Index next = builder.Ascii("leaf");
  for (int level = 0; level < 40; ++level) next = builder.Array({next, next});
  return next;
}

std::string DeepBinary(int levels) {
  BinaryPlistBuilder builder;
  BinaryPlistBuilder::Index inner = builder.Ascii("#FF0000");
  for (int level = 0; level < levels; ++level) inner = builder.Array({inner});
  return builder.Build(builder.Dictionary({{builder.Ascii("Text"), inner}}));
}

// A file of exactly `size` bytes holding Text red, padded inside a comment.
std::string XmlOfSize(std::size_t size) {
  const std::string entries = "<key>Text</key><string>#FF0000</string>";
  const std::string bare = XmlSettings(entries + "<!---->");
  return XmlSettings(entries + "<!--" + std::string(size - bare.size(), 'x') + "-->");
}

struct HostileCase {
  const char* what;
  // Puts the file, or whatever stands for it, at the settings path on the host.
  std::function<void(const std::filesystem::path&)> place;
  const char* text = kBuiltInText;  // What +[IGColors textColor] answers.
};

class HostileSettingsTest : public HostTest {
 protected:
  void ExpectPromptAndHarmless(const HostileCase& hostile) {
    SCOPED_TRACE(hostile.what);
    const std::filesystem::path path = Host().SettingsPath();
    std::filesystem::remove_all(path);
    hostile.place(path);
    const long objectsBefore = device::LiveObjects();
    {
      device::AutoreleasePool pool;
      // A query that blocked or ran away would hang the suite; the alarm fails it instead.
      alarm(kPromptSeconds);
      id traits = Send<id>(Send<id>(Class("UITextInputTraits"), "alloc"), "init");
      EXPECT_EQ(Send<long>(traits, "keyboardAppearance"), 1) << "the theme should be on";
      EXPECT_EQ(device::ColorText(Send<id>(Class("IGColors"), "textColor")), hostile.text);
      EXPECT_EQ(device::ColorText(Send<id>(Class("IGColors"), "navigationBarBackgroundColor")),
                "#000000FF");
      alarm(0);
      Send(traits, "release");
    }
    EXPECT_EQ(device::LiveObjects(), objectsBefore) << "objects left behind";
    std::filesystem::remove_all(path);
  }

  static id Class(const char* name) { return reinterpret_cast<id>(objc_getClass(name)); }
};

TEST_F(HostileSettingsTest, ComesBackPromptlyWithTheThemeOnAndNoObjectLeft) {
  const HostileCase cases[] = {
      {"a file just under the cap, read whole",
       [](const auto& path) {
         device::WriteRawFile(path, XmlOfSize(umbravista::kSettingsSizeCap));
       },
       kRed},
      {"a file just over the cap, not read",
       [](const auto& path) {
         device::WriteRawFile(path, XmlOfSize(umbravista::kSettingsSizeCap + 1));
       }},
      {"entities declared to expand a billion times",
       [](const auto& path) {
         std::string declarations = "<!ENTITY a0 \"#FF0000\">";
         for (int level = 1; level < 10; ++level) {
           const std::string previous = "&a" + std::to_string(level - 1) + ";";
           declarations += "<!ENTITY a" + std::to_string(level) + " \"";
           for (int copy = 0; copy < 10; ++copy) declarations += previous;
           declarations += "\">";
         }
         device::WriteRawFile(path, "<!DOCTYPE plist [" + declarations + "]>" +
                                        XmlSettings("<key>Text</key><string>&a9;</string>"));
       }},
      // Regression: a binary file nested 100,000 levels deep overflowed the host's stack.
      {"binary nested 100,000 levels deep",
       [](const auto& path) { device::WriteRawFile(path, DeepBinary(100000)); }},
      {"XML opening 100,000 arrays",
       [](const auto& path) {
         std::string arrays;
         for (int level = 0; level < 100000; ++level) arrays += "<array>";
         device::WriteRawFile(path, XmlSettings("<key>Text</key>" + arrays));
       }},
      // Regression: a binary file whose arrays share one object over and over was expanded into a
      // tree of every path, taking seconds and gigabytes, then the host down.
      {"shared references beside the settings, which still count",
       [](const auto& path) {
         BinaryPlistBuilder builder;
         const BinaryPlistBuilder::Index junk = SharedReferences(builder);
         device::WriteRawFile(path, builder.Build(builder.Dictionary(
                                        {{builder.Ascii("junk"), junk},
                                         {builder.Ascii("Text"), builder.Ascii("#FF0000")}})));
       },
       kRed},
      // Regression: a NUL inside an XML string aborted the host at the first themed call.
      {"a NUL inside an XML string",
       [](const auto& path) {
         device::WriteRawFile(path,
                              XmlSettings("<key>Text</key><string>#FF0000"s + '\0' + "</string>"));
       }},
  };
  for (const HostileCase& hostile : cases) ExpectPromptAndHarmless(hostile);
}

}  // namespace
