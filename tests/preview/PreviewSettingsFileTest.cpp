// `preview --settings` reads the file the way the library reads its own, so what the library
// refuses it refuses too, at once: a FIFO is not waited on, a device is not read without end.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

#include "settings/SettingsFile.h"
#include "tools/preview/PreviewCommand.h"

namespace {

struct RefusedFile {
  const char* what;
  std::function<void(const std::filesystem::path&)> place;
  const char* reason;
};

TEST(PreviewSettingsFileTest, RefusesWhatTheLibraryRefusesWithTheReason) {
  std::string pattern = (std::filesystem::temp_directory_path() / "umbravista-preview-XXXXXX");
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const std::filesystem::path directory = pattern;
  const std::filesystem::path settings = directory / "settings.plist";
  const RefusedFile cases[] = {
      {"a FIFO with no writer", [](const auto& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
       "not a regular file"},
      {"a link to /dev/zero",
       [](const auto& path) { std::filesystem::create_symlink("/dev/zero", path); },
       "not a regular file"},
      {"a file over the cap",
       [](const auto& path) {
         std::ofstream(path) << std::string(umbravista::kSettingsSizeCap + 1, ' ');
       },
       "larger than the library's limit"},
      {"nothing", [](const auto&) {}, "no such file"},
  };
  for (const RefusedFile& refused : cases) {
    SCOPED_TRACE(refused.what);
    std::filesystem::remove_all(settings);
    refused.place(settings);
    preview::PreviewOptions options;
    options.settingsPath = settings.string();
    options.outputPath = (directory / "preview.png").string();
    alarm(20);  // A preview that waited on the FIFO would hang the suite.
    try {
      preview::RunPreview(options);
      ADD_FAILURE() << "the preview went ahead";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(refused.reason), std::string::npos) << error.what();
    }
    alarm(0);
    EXPECT_FALSE(std::filesystem::exists(options.outputPath));
  }
  std::filesystem::remove_all(directory);
}

}  // namespace
