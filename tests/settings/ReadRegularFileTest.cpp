#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <variant>

#include "SettingsFileFixture.h"
#include "platform/FileSystem.h"

namespace umbravista {
namespace {

constexpr std::size_t kTestCap = 4096;

// What a read answers, in one comparable form: the bytes, or the failure's number.
using ReadAnswer = std::variant<std::string, FileReadFailure>;

class ReadRegularFileTest : public SettingsFileTest {
 protected:
  // Places something at the settings path, then checks what a read of it answers.
  void ExpectRead(const char* what, const std::function<void()>& place,
                  const ReadAnswer& expected) {
    SCOPED_TRACE(what);
    RemoveSettings();
    place();
    // A read that blocked would hang the suite; the alarm turns that into a failure instead.
    alarm(5);
    EXPECT_EQ(ReadRegularFileToString(SettingsPath().c_str(), kTestCap), expected);
    alarm(0);
  }

  [[nodiscard]] std::string ContentsOnHost() const {
    std::ifstream stream(SettingsPath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
  }
};

TEST_F(ReadRegularFileTest, RefusesWhatIsNotARegularFile) {
  const std::string path = SettingsPath().string();
  ExpectRead(
      "nothing at the path", [] {}, FileReadFailure::kMissing);
  ExpectRead(
      "a FIFO with no writer", [&] { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
      FileReadFailure::kNotRegularFile);
  ExpectRead(
      "a symlink to /dev/zero", [&] { std::filesystem::create_symlink("/dev/zero", path); },
      FileReadFailure::kNotRegularFile);
  ExpectRead(
      "a symlink to /dev/null", [&] { std::filesystem::create_symlink("/dev/null", path); },
      FileReadFailure::kNotRegularFile);
  ExpectRead(
      "a symlink to /dev/urandom", [&] { std::filesystem::create_symlink("/dev/urandom", path); },
      FileReadFailure::kNotRegularFile);
  ExpectRead(
      "a directory", [&] { std::filesystem::create_directory(path); },
      FileReadFailure::kNotRegularFile);
  ExpectRead(
      "a dangling symlink", [&] { std::filesystem::create_symlink(path + ".gone", path); },
      FileReadFailure::kMissing);
}

TEST_F(ReadRegularFileTest, ReadsRegularFilesUpToTheCap) {
  const std::string atCap(kTestCap, 'a');
  ExpectRead(
      "an empty file", [&] { WriteSettingsBytes(""); }, std::string());
  ExpectRead(
      "a file exactly at the cap", [&] { WriteSettingsBytes(atCap); }, atCap);
  ExpectRead(
      "a file one byte over the cap", [&] { WriteSettingsBytes(atCap + "b"); },
      FileReadFailure::kLargerThanCap);
  ExpectRead(
      "a symlink to a regular file",
      [&] {
        WriteSettingsBytes("linked");
        std::filesystem::rename(SettingsPath(), SettingsPath().string() + ".real");
        std::filesystem::create_symlink(SettingsPath().string() + ".real", SettingsPath());
      },
      std::string("linked"));
}

TEST_F(ReadRegularFileTest, AgreesWithAnIndependentReaderOnBinaryContents) {
  std::string everyByte;
  for (int value = 0; value < 256; ++value) everyByte.push_back(static_cast<char>(value));
  WriteSettingsBytes(everyByte);
  EXPECT_EQ(ReadRegularFileToString(SettingsPath().c_str(), kTestCap),
            ReadAnswer(ContentsOnHost()));
}

// A room that gives less than asked for stands for memory that could not be had.
class ScantRoom final : public FileRoom {
 public:
  std::span<char> RoomFor(std::size_t fileSize) override {
    return std::span<char>(bytes_).first(std::min(fileSize, bytes_.size()));
  }

 private:
  std::array<char, 64> bytes_{};
};

// A room exactly as large as asked for, so that a file that grew after it was measured fills it.
class ExactRoom final : public FileRoom {
 public:
  explicit ExactRoom(std::function<void()> onAsked) : onAsked_(std::move(onAsked)) {}
  std::span<char> RoomFor(std::size_t fileSize) override {
    bytes_.resize(fileSize + 1);
    onAsked_();
    return bytes_;
  }

 private:
  std::function<void()> onAsked_;
  std::vector<char> bytes_;
};

TEST_F(ReadRegularFileTest, RefusesAFileThatGrewWhileReadOrFoundNoRoom) {
  WriteSettingsBytes("twelve bytes");
  ScantRoom scant;
  EXPECT_EQ(ReadRegularFile(SettingsPath().c_str(), kTestCap, scant),
            (std::variant<std::size_t, FileReadFailure>(FileReadFailure::kNoMemory)));
  ExactRoom growing([this] { std::ofstream(SettingsPath(), std::ios::app) << " and more"; });
  EXPECT_EQ(ReadRegularFile(SettingsPath().c_str(), kTestCap, growing),
            (std::variant<std::size_t, FileReadFailure>(FileReadFailure::kChangedWhileRead)));
  EXPECT_EQ(ReadRegularFileToString(nullptr, kTestCap), ReadAnswer(FileReadFailure::kNoPath));
}

// Pins a host started with its standard input closed: the settings file then opens as
// descriptor 0, which is a file like any other, to be read and closed.
TEST_F(ReadRegularFileTest, ReadsAndClosesAFileThatOpensAsDescriptorZero) {
  WriteSettingsBytes("twelve bytes");
  const int savedInput = dup(0);
  ASSERT_GE(savedInput, 0);
  close(0);
  errno = EINTR;  // As an earlier call of the host's may have left it; a success keeps it.
  const ReadAnswer answer = ReadRegularFileToString(SettingsPath().c_str(), kTestCap);
  const bool zeroLeftOpen = fcntl(0, F_GETFD) != -1;
  dup2(savedInput, 0);
  close(savedInput);
  EXPECT_EQ(answer, ReadAnswer(std::string("twelve bytes")));
  EXPECT_FALSE(zeroLeftOpen) << "the descriptor leaked";
}

// Pins the end of a read that fails: an error other than an interruption answers at once.
TEST_F(ReadRegularFileTest, AnswersAReadErrorRatherThanTryingAgain) {
  // The process's own memory reads as a regular file, and its first page is never mapped.
  constexpr const char* kUnreadable = "/proc/self/mem";
  if (access(kUnreadable, R_OK) != 0) GTEST_SKIP() << kUnreadable << " is not there to read";
  alarm(5);
  EXPECT_EQ(ReadRegularFileToString(kUnreadable, kTestCap),
            ReadAnswer(FileReadFailure::kReadError));
  alarm(0);
}

}  // namespace
}  // namespace umbravista
