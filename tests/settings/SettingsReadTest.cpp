// One read of a settings file: it needs no allocation for a file that fits its own room with what
// the reader needs beside it, and exactly one for a larger file, XML or binary, whatever size.
#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "device/propertylist/BinaryPlistBuilder.h"

namespace {

// The reader allocates, when it must, with new (std::nothrow) of an array, and nothing else.
thread_local int arraysAllocated = 0;

}  // namespace

// Every array form is replaced, not only the counted one: a sanitizer pairs each allocation with
// its release, and the standard library frees its own arrays through the deletes below.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  ++arraysAllocated;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size) {
  if (void* memory = std::malloc(size == 0 ? 1 : size)) {
    return memory;
  }
  throw std::bad_alloc();
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace umbravista {
namespace {

// An XML file of exactly `size` bytes that sets Text, padded in a comment.
std::string XmlOfSize(std::size_t size) {
  const std::string head = "<plist><dict><key>Text</key><string>#ABCDEF</string><!--";
  const std::string tail = "--></dict></plist>";
  return head + std::string(size - head.size() - tail.size(), 'x') + tail;
}

// A binary file of about `size` bytes that sets Text, padded in a string nothing reads.
std::string BinaryOfSize(std::size_t size) {
  device::BinaryPlistBuilder builder;
  const auto text = builder.Ascii("Text");
  const auto value = builder.Ascii("#ABCDEF");
  const auto padding = builder.Ascii(std::string(size > 100 ? size - 100 : 0, 'x'));
  return builder.Build(builder.Dictionary({{text, value}, {builder.Ascii("pad"), padding}}));
}

struct SizeCase {
  const char* what;
  std::string document;
  int allocations;
};

TEST(SettingsReadTest, AllocatesOnlyForAFileLargerThanItsOwnRoom) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("settings-read-" + std::to_string(getpid()));
  const SizeCase cases[] = {
      {"XML of a byte less than the room", XmlOfSize(SettingsRead::kOwnRoom - 1), 0},
      {"XML as large as the room", XmlOfSize(SettingsRead::kOwnRoom), 1},
      {"XML at the cap", XmlOfSize(kSettingsSizeCap), 1},
      {"binary of a few hundred bytes", BinaryOfSize(300), 0},
      {"binary whose work area does not fit beside it", BinaryOfSize(3000), 1},
      {"binary larger than the room", BinaryOfSize(20000), 1},
  };
  for (const SizeCase& size : cases) {
    SCOPED_TRACE(testing::Message() << size.what << " (" << size.document.size() << " bytes)");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << size.document;
    arraysAllocated = 0;
    {
      SettingsRead read(path.c_str());
      const SettingsLookup lookup = read.LookUp("Text");
      ASSERT_TRUE(lookup.value);
      EXPECT_EQ(lookup.value->text, "#ABCDEF");
    }
    EXPECT_EQ(arraysAllocated, size.allocations);
  }
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace umbravista
