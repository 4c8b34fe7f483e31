#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <iterator>
#include <optional>
#include <string>

#include "SettingsFileFixture.h"
#include "platform/FileSystem.h"

namespace umbravista {
namespace {

constexpr const char* kDevicePath = SettingsDictionary::kDevicePath;
constexpr std::size_t kTestCap = 4096;

class ReadDeviceFileTest : public SettingsFileTest {
 protected:
  // Places something at the settings path, then checks what ReadDeviceFile answers for it.
  void ExpectRead(const char* what, const std::function<void()>& place,
                  const std::optional<std::string>& expected) {
    SCOPED_TRACE(what);
    RemoveSettings();
    place();
    // A read that blocked would hang the suite; the alarm turns that into a failure instead.
    alarm(5);
    EXPECT_EQ(ReadDeviceFile(kDevicePath, kTestCap), expected);
    alarm(0);
  }

  [[nodiscard]] std::string ContentsOnHost() const {
    std::ifstream stream(SettingsPath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
  }
};

TEST_F(ReadDeviceFileTest, RefusesWhatIsNotARegularFile) {
  const std::string path = SettingsPath().string();
  ExpectRead(
      "nothing at the path", [] {}, std::nullopt);
  ExpectRead(
      "a FIFO with no writer", [&] { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }, std::nullopt);
  ExpectRead(
      "a symlink to /dev/zero", [&] { std::filesystem::create_symlink("/dev/zero", path); },
      std::nullopt);
  ExpectRead(
      "a symlink to /dev/null", [&] { std::filesystem::create_symlink("/dev/null", path); },
      std::nullopt);
  ExpectRead(
      "a symlink to /dev/urandom", [&] { std::filesystem::create_symlink("/dev/urandom", path); },
      std::nullopt);
  ExpectRead(
      "a directory", [&] { std::filesystem::create_directory(path); }, std::nullopt);
}

TEST_F(ReadDeviceFileTest, ReadsRegularFilesUpToTheCap) {
  const std::string atCap(kTestCap, 'a');
  ExpectRead(
      "an empty file", [&] { WriteSettingsBytes(""); }, std::string());
  ExpectRead(
      "a file exactly at the cap", [&] { WriteSettingsBytes(atCap); }, atCap);
  ExpectRead(
      "a file one byte over the cap", [&] { WriteSettingsBytes(atCap + "b"); }, std::nullopt);
  ExpectRead(
      "a symlink to a regular file",
      [&] {
        WriteSettingsBytes("linked");
        std::filesystem::rename(SettingsPath(), SettingsPath().string() + ".real");
        std::filesystem::create_symlink(SettingsPath().string() + ".real", SettingsPath());
      },
      std::string("linked"));
}

TEST_F(ReadDeviceFileTest, AgreesWithAnIndependentReaderOnBinaryContents) {
  std::string everyByte;
  for (int value = 0; value < 256; ++value) everyByte.push_back(static_cast<char>(value));
  WriteSettingsBytes(everyByte);
  EXPECT_EQ(ReadDeviceFile(kDevicePath, kTestCap), ContentsOnHost());
}

TEST_F(ReadDeviceFileTest, UsesTheDevicePathAsItIsWithoutASimulatedRoot) {
  const std::string hostPath = SettingsPath().string();
  WriteSettingsBytes("direct");
  unsetenv("SIMULATED_DEVICE_ROOT");
  EXPECT_EQ(ReadDeviceFile(hostPath.c_str(), kTestCap), std::string("direct"));
  setenv("SIMULATED_DEVICE_ROOT", "", 1);
  EXPECT_EQ(ReadDeviceFile(hostPath.c_str(), kTestCap), std::string("direct"));
  EXPECT_EQ(ReadDeviceFile(nullptr, kTestCap), std::nullopt);
}

}  // namespace
}  // namespace umbravista
