// The library only ever reads its settings: after many queries of every kind the file's bytes,
// inode and times are as they were, and no open of it asked for more than reading.
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "device/filesystem/DeviceFileSystem.h"
#include "settings/SettingsFile.h"
#include "tests/host/HostTest.h"

namespace {

using SettingsNeverWrittenTest = HostTest;

struct FileState {
  std::string bytes;
  struct stat status {};
};

FileState StateOf(const std::filesystem::path& path) {
  FileState state;
  std::ifstream stream(path, std::ios::binary);
  state.bytes.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
  EXPECT_EQ(::stat(path.c_str(), &state.status), 0);
  return state;
}

TEST_F(SettingsNeverWrittenTest, LeavesTheFileAsItWasAndNeverOpensItToWrite) {
  for (const auto format :
       {device::PropertyListFormat::kXml, device::PropertyListFormat::kBinary}) {
    WriteSettings({{"enabled", true},
                   {"MainBGColor", std::string("#101010")},
                   {"Text", std::string("#EEEEEE")}},
                  format);
    const FileState before = StateOf(Host().SettingsPath());
    device::ResetOpenRecord();
    id view = MakeView();
    id label = MakeView("UILabel");
    id white = Keep(device::NewGreyColor(1.0, 1.0));
    for (int query = 0; query < 200; ++query) {
      Send(view, "setBackgroundColor:", white);
      Send(view, "layoutSubviews");
      Send(label, "layoutSubviews");
      Send<id>(reinterpret_cast<id>(objc_getClass("IGColors")), "textColor");
    }
    const FileState after = StateOf(Host().SettingsPath());
    EXPECT_EQ(after.bytes, before.bytes);
    EXPECT_EQ(after.status.st_ino, before.status.st_ino);
    EXPECT_EQ(after.status.st_mtim.tv_sec, before.status.st_mtim.tv_sec);
    EXPECT_EQ(after.status.st_mtim.tv_nsec, before.status.st_mtim.tv_nsec);
    EXPECT_EQ(after.status.st_ctim.tv_sec, before.status.st_ctim.tv_sec);
    EXPECT_EQ(after.status.st_ctim.tv_nsec, before.status.st_ctim.tv_nsec);
    EXPECT_GT(device::OpensOf(umbravista::kSettingsPath), 1000U);
    EXPECT_EQ(device::OpensForWritingOf(umbravista::kSettingsPath), 0U);
  }
}

}  // namespace
