// The library prints nothing and writes no file, whatever happens: loading, settings that are
// missing, garbage, of the wrong kind, not a file at all, or good settings read many times: every
// file's bytes, inode and times stay as they were, and no open of the settings asks to write. Its
// own process, so that nothing else writes to the standard streams while they are watched.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/filesystem/DeviceFileSystem.h"
#include "device/host/SettingsWriter.h"
#include "device/host/SimulatedHost.h"
#include "device/runtime/Runtime.h"

namespace {

// Every file under `root` with its bytes, inode, and modification and change times.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    struct stat info {};
    lstat(entry.path().c_str(), &info);
    std::string bytes;
    if (S_ISREG(info.st_mode)) {
      std::ifstream file(entry.path(), std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    files[entry.path().string()] =
        bytes + "@" + std::to_string(info.st_ino) + " " + std::to_string(info.st_mtim.tv_sec) +
        "." + std::to_string(info.st_mtim.tv_nsec) + " " + std::to_string(info.st_ctim.tv_sec) +
        "." + std::to_string(info.st_ctim.tv_nsec);
  }
  return files;
}

void ExerciseTheReplacements() {
  device::AutoreleasePool pool;
  id view = device::NewView("UIView");
  id label = device::NewView("UILabel");
  id white = device::NewGreyColor(1.0, 1.0);
  for (int round = 0; round < 50; ++round) {
    device::Message(view, "setBackgroundColor:", white);
    device::Message(view, "setBackgroundColor:", nullptr);
    device::LayoutTree(view);
    device::Message(label, "layoutSubviews");
    device::Message<id>(reinterpret_cast<id>(objc_getClass("IGColors")), "textColor");
  }
  for (id object : {white, label, view}) device::Message(object, "release");
}

TEST(QuietLibraryTest, PrintsNothingAndWritesNoFile) {
  std::fflush(stdout);
  std::fflush(stderr);
  char capturePath[] = "/tmp/umbravista-quiet.XXXXXX";
  const int capture = mkstemp(capturePath);
  ASSERT_GE(capture, 0);
  const int savedOut = dup(STDOUT_FILENO);
  const int savedErr = dup(STDERR_FILENO);
  dup2(capture, STDOUT_FILENO);
  dup2(capture, STDERR_FILENO);

  device::SimulatedHost host;
  host.Launch();
  const std::filesystem::path settings = host.SettingsPath();
  using Writer = void (*)(const std::filesystem::path&);
  const Writer situations[] = {
      [](const std::filesystem::path&) {},
      [](const std::filesystem::path& path) { device::WriteRawFile(path, "\x01garbage<plist"); },
      [](const std::filesystem::path& path) { device::WriteRawFile(path, ""); },
      [](const std::filesystem::path& path) {
        device::WriteRawFile(path, "<plist><array><string>x</string></array></plist>");
      },
      [](const std::filesystem::path& path) {
        device::WriteSettingsFile(path, {{"enabled", 3.5}, {"MainBGColor", 12.0}});
      },
      [](const std::filesystem::path& path) {
        device::WriteSettingsFile(
            path, {{"enabled", std::string("no")}, {"MainBGColor", std::string("#")}});
      },
      [](const std::filesystem::path& path) {
        device::WriteSettingsFile(path, {{"enabled", true}, {"Text", std::string("#EEEEEE")}});
      },
      [](const std::filesystem::path& path) {
        device::WriteSettingsFile(path, {{"MainBGColor", std::string("#101010")}},
                                  device::PropertyListFormat::kBinary);
      },
      [](const std::filesystem::path& path) { mkfifo(path.c_str(), 0600); },
      [](const std::filesystem::path& path) { std::filesystem::create_symlink("/dev/zero", path); },
  };
  for (Writer write : situations) {
    std::filesystem::remove(settings);
    write(settings);
    const auto before = Snapshot(host.DeviceRoot());
    ExerciseTheReplacements();
    EXPECT_EQ(Snapshot(host.DeviceRoot()), before);
  }
  std::filesystem::remove(settings);
  EXPECT_GT(device::OpensOf(device::kSettingsDevicePath), 1000U);
  EXPECT_EQ(device::OpensForWritingOf(device::kSettingsDevicePath), 0U);

  std::fflush(stdout);
  std::fflush(stderr);
  dup2(savedOut, STDOUT_FILENO);
  dup2(savedErr, STDERR_FILENO);
  struct stat captured {};
  fstat(capture, &captured);
  close(capture);
  unlink(capturePath);
  EXPECT_EQ(captured.st_size, 0) << "the library wrote to standard output or error";
}

}  // namespace
