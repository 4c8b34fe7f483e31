#include "settings/SettingsFile.h"

#include <new>
#include <variant>

#include "propertylist/PropertyListForms.h"

namespace umbravista {
namespace {

constexpr std::size_t RoundedToWords(std::size_t bytes) {
  return (bytes + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t) * sizeof(std::uint64_t);
}

}  // namespace

SettingsRead::SettingsRead(const char* path) {
  const std::variant<std::size_t, FileReadFailure> read =
      ReadRegularFile(path, kSettingsSizeCap, *this);
  if (const FileReadFailure* failure = std::get_if<FileReadFailure>(&read)) {
    failure_ = *failure;
    document_ = {};
  } else {
    // get_if rather than get: the device's C++ library has no bad_variant_access before iOS 11.
    document_ = document_.first(*std::get_if<std::size_t>(&read));
  }
}

SettingsRead::~SettingsRead() = default;

// The file goes to the object's own room when it fits; a larger one gets an allocation with room
// for the work area too, so that a binary file needs no second one.
std::span<char> SettingsRead::RoomFor(std::size_t fileSize) {
  if (fileSize + 1 <= own_.size()) {
    document_ = own_;
    return document_;
  }
  const std::size_t documentRoom = RoundedToWords(fileSize + 1);
  const std::size_t bytes = documentRoom + RoundedToWords(WorkBytesFor(fileSize));
  allocated_.reset(new (std::nothrow) std::uint64_t[bytes / sizeof(std::uint64_t)]);
  if (allocated_ == nullptr) return {};
  allocatedBytes_ = bytes;
  document_ = {reinterpret_cast<char*>(allocated_.get()), documentRoom};
  return document_;
}

// The work area follows the document, in the object's own room or in the allocation made for the
// file; only a binary file that fits the own room but not with its work area needs one of its own.
std::span<std::byte> SettingsRead::Work() {
  const std::size_t needed = WorkBytesFor(document_.size());
  if (allocated_ != nullptr && allocatedBytes_ > 0 &&
      reinterpret_cast<char*>(allocated_.get()) == document_.data()) {
    const std::size_t start = RoundedToWords(document_.size() + 1);
    return {reinterpret_cast<std::byte*>(allocated_.get()) + start, allocatedBytes_ - start};
  }
  const std::size_t start = RoundedToWords(document_.size() + 1);
  if (start + needed <= own_.size()) {
    return {reinterpret_cast<std::byte*>(own_.data()) + start, own_.size() - start};
  }
  allocated_.reset(new (std::nothrow)
                       std::uint64_t[RoundedToWords(needed) / sizeof(std::uint64_t)]);
  if (allocated_ == nullptr) return {};
  allocatedBytes_ = RoundedToWords(needed);
  return {reinterpret_cast<std::byte*>(allocated_.get()), allocatedBytes_};
}

SettingsLookup SettingsRead::LookUp(std::string_view key, Decoding decoding) {
  if (failure_) return {};
  // Only the binary form uses a work area; the XML form needs none.
  const std::span<std::byte> work =
      property_list::IsBinaryForm(document_) ? Work() : std::span<std::byte>();
  return LookUpKey({document_, work}, key, decoding);
}

}  // namespace umbravista
