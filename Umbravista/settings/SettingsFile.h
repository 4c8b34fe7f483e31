#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "platform/FileSystem.h"
#include "propertylist/PropertyListReader.h"

namespace umbravista {

// Where the settings live on the device. No other place is ever read.
inline constexpr const char* kSettingsPath =
    "/var/mobile/Library/Preferences/com.marrowquinte.Umbravista.plist";

// The largest settings file that is read; a larger one reads as no settings. What the preferences
// pane writes, a switch and eight colours, is under 1 KiB in either form, and a file padded by hand
// is still well under 4 KiB: 64 KiB leaves room sixteen times over. It is no higher because every
// query reads the whole file, a layout pass makes several queries, and a read takes time in
// proportion to the file: the hardest shapes of 64 KiB cost a read a few hundred microseconds
// (bench/SettingsBench.cpp), and of a megabyte they would cost milliseconds.
inline constexpr std::size_t kSettingsSizeCap = std::size_t{64} * 1024;

// One read of a settings file, made when the object is made, and the memory to look into it. A
// query makes one of these for each read it makes and drops it when it is done: nothing of a read
// outlives it, so a change of the file shows at the next read.
//
// Memory: the object itself holds 8 KiB, enough for an XML file of up to 8 KiB or a binary one of
// about 2 KiB with no allocation at all; a larger file costs exactly one allocation. The object is
// meant to live on the stack of the query, and is neither copied nor moved.
class SettingsRead final : private FileRoom {
 public:
  static constexpr std::size_t kOwnRoom = std::size_t{8} * 1024;

  // Reads the file at `path` (the settings path unless told otherwise), as ReadRegularFile does,
  // with kSettingsSizeCap.
  explicit SettingsRead(const char* path = kSettingsPath);
  SettingsRead(const SettingsRead&) = delete;
  SettingsRead& operator=(const SettingsRead&) = delete;
  SettingsRead(SettingsRead&&) = delete;
  SettingsRead& operator=(SettingsRead&&) = delete;
  ~SettingsRead();

  // Why the file could not be read, or nullopt when it was.
  [[nodiscard]] std::optional<FileReadFailure> Failure() const { return failure_; }

  // Looks `key` up in what was read, decoding its value as `decoding` asks (see LookUpKey). A file
  // that could not be read answers no settings (kNotPropertyList). A read serves one lookup: the
  // reader decodes text where it stands.
  [[nodiscard]] SettingsLookup LookUp(std::string_view key, Decoding decoding = Decoding::kValue);

 private:
  std::span<char> RoomFor(std::size_t fileSize) override;
  [[nodiscard]] std::span<std::byte> Work();

  alignas(std::uint64_t) std::array<char, kOwnRoom> own_;
  std::unique_ptr<std::uint64_t[]> allocated_;
  std::size_t allocatedBytes_ = 0;
  std::span<char> document_;
  std::optional<FileReadFailure> failure_;
};

}  // namespace umbravista
