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

class ReadRegularFileTest : public SettingsFileTest {};

TEST_F(ReadRegularFileTest, ReadsRegularFilesUpToTheCapAndRefusesEverythingElse) {
  struct Case {
    const char* what;
    std::function<void(const std::string& path)> place;
    ReadAnswer expected;
  };
  std::string everyByte;
  for (int value = 0; value < 256; ++value) everyByte.push_back(static_cast<char>(value));
  const std::string atCap(kTestCap, 'a');
  const auto bytes = [this](const std::string& contents) {
    return [this, contents](const std::string&) { WriteSettingsBytes(contents); };
  };
  const auto link = [](const char* target) {
    return [target](const std::string& path) { std::filesystem::create_symlink(target, path); };
  };
  const Case cases[] = {
      {"nothing at the path", [](const std::string&) {}, FileReadFailure::kMissing},
      {"a FIFO with no writer", [](const std::string& path) { mkfifo(path.c_str(), 0600); },
       FileReadFailure::kNotRegularFile},
      {"a symlink to /dev/zero", link("/dev/zero"), FileReadFailure::kNotRegularFile},
      {"a symlink to /dev/null", link("/dev/null"), FileReadFailure::kNotRegularFile},
      {"a directory", [](const std::string& path) { std::filesystem::create_directory(path); },
       FileReadFailure::kNotRegularFile},
      {"a dangling symlink",
       [](const std::string& path) { std::filesystem::create_symlink(path + ".gone", path); },
       FileReadFailure::kMissing},
      {"an empty file", bytes(""), std::string()},
      {"every byte value", bytes(everyByte), everyByte},
      {"a file exactly at the cap", bytes(atCap), atCap},
      {"a file one byte over the cap", bytes(atCap + "b"), FileReadFailure::kLargerThanCap},
      {"a symlink to a regular file",
       [this](const std::string& path) {
         WriteSettingsBytes("linked");
         std::filesystem::rename(path, path + ".real");
         std::filesystem::create_symlink(path + ".real", path);
       },
       std::string("linked")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RemoveSettings();
    c.place(SettingsPath().string());
    // A read that blocked would hang the suite; the alarm turns that into a failure instead.
    alarm(5);
    EXPECT_EQ(ReadRegularFileToString(SettingsPath().c_str(), kTestCap), c.expected);
    alarm(0);
  }
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

// A room with space to spare, as the settings reader's own, that grows the file when asked.
class GrowingRoom final : public FileRoom {
 public:
  explicit GrowingRoom(std::function<void()> onAsked) : onAsked_(std::move(onAsked)) {}
  std::span<char> RoomFor(std::size_t fileSize) override {
    bytes_.resize(fileSize + kTestCap);
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
  // Regression: a small file that grew between fstat and read was read whole, growth and all.
  GrowingRoom growing([this] { std::ofstream(SettingsPath(), std::ios::app) << " and more"; });
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
