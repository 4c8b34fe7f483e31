// The simulated device's file system: what it maps, what it counts and whom it tells.
#include "device/filesystem/DeviceFileSystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device/runtime/Trace.h"

namespace {

constexpr const char* kDevicePath = "/var/mobile/Library/Preferences/test.plist";

class DeviceFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "device-fs-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    std::filesystem::create_directories(root_ / "var/mobile/Library/Preferences");
    std::ofstream(root_.string() + kDevicePath) << "mapped";
    setenv("SIMULATED_DEVICE_ROOT", root_.c_str(), 1);
    device::ResetOpenRecord();
  }
  void TearDown() override {
    unsetenv("SIMULATED_DEVICE_ROOT");
    std::filesystem::remove_all(root_);
  }

  // What reading `path` through open(2) gives, or "" when it cannot be opened.
  static std::string ReadThroughOpen(const char* path, int flags = O_RDONLY) {
    const int file = ::open(path, flags, 0600);
    if (file < 0) return "";
    char bytes[64] = {};
    const ssize_t count = ::read(file, bytes, sizeof bytes);
    ::close(file);
    return {bytes, count > 0 ? static_cast<std::size_t>(count) : 0};
  }

  std::filesystem::path root_;
};

TEST_F(DeviceFileSystemTest, MapsOnlyDevicePathsAndOnlyUnderARoot) {
  EXPECT_EQ(ReadThroughOpen(kDevicePath), "mapped");
  const std::string hostFile = (root_ / "host.txt").string();
  std::ofstream(hostFile) << "host";
  EXPECT_EQ(ReadThroughOpen(hostFile.c_str()), "host");
  unsetenv("SIMULATED_DEVICE_ROOT");
  EXPECT_EQ(ReadThroughOpen(kDevicePath), "") << "the machine's own /var/mobile was reached";
}

TEST_F(DeviceFileSystemTest, CountsOpensOfEachDevicePathAndThoseAskingToWrite) {
  for (int read = 0; read < 3; ++read) ReadThroughOpen(kDevicePath);
  ReadThroughOpen("/var/mobile/missing.plist");
  ReadThroughOpen(kDevicePath, O_RDWR);
  EXPECT_EQ(device::OpensOf(kDevicePath), 4U);
  EXPECT_EQ(device::OpensForWritingOf(kDevicePath), 1U);
  EXPECT_EQ(device::OpensOf("/var/mobile/missing.plist"), 1U);
  device::ResetOpenRecord();
  EXPECT_EQ(device::OpensOf(kDevicePath), 0U);
}

void CountInto(const char*, int, void* context) {
  ++*static_cast<int*>(context);
}

TEST_F(DeviceFileSystemTest, TellsObserversAndTheTraceBeforeEachOpen) {
  int told = 0;
  device::AddOpenObserver(&CountInto, &told);
  device::RecordDeviceOpens(true);
  device::ClearTrace();
  ReadThroughOpen(kDevicePath);
  ReadThroughOpen((root_ / "not-a-device-path").c_str());
  device::RecordDeviceOpens(false);
  device::RemoveOpenObserver(&CountInto);
  ReadThroughOpen(kDevicePath);
  EXPECT_EQ(told, 1);
  const std::vector<device::TraceCall> calls = device::CallsOf("open");
  ASSERT_EQ(calls.size(), 1U);
  EXPECT_EQ(calls[0].Describe(), std::string("open \"") + kDevicePath + "\"");
}

TEST_F(DeviceFileSystemTest, RecordsEveryPathOpenedWhileAsked) {
  device::StartRecordingOpens();
  ReadThroughOpen(kDevicePath);
  ReadThroughOpen("/nonexistent/file");
  const std::vector<std::string> opened = device::StopRecordingOpens();
  ReadThroughOpen(kDevicePath);
  EXPECT_EQ(opened, (std::vector<std::string>{kDevicePath, "/nonexistent/file"}));
}

}  // namespace
