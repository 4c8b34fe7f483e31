#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "propertylist/PropertyListReader.h"

// A settings file's bytes as the tools read them: through the library's own reader, each question
// answered by a fresh read of a copy of the bytes, since a read may rewrite what it reads.
namespace umbravista::check {

// A value that outlives the read that found it.
struct StoredValue {
  ValueKind kind = ValueKind::kString;
  std::string text;  // kString: every byte, NUL included.
  bool boolean = false;
  std::uint64_t integer = 0;
  double real = 0.0;

  // The value as the reader gives it, its text pointing into this object.
  [[nodiscard]] SettingsValue View() const;
};

class SettingsDocument {
 public:
  explicit SettingsDocument(std::string bytes);

  [[nodiscard]] const std::string& Bytes() const { return bytes_; }
  // Whether the bytes hold settings, and if not, why not; with the root's kind.
  [[nodiscard]] SettingsLookup Verdict() const;
  // The value under `key` in the root dictionary, as the library finds it; nullopt when absent or
  // when there are no settings.
  [[nodiscard]] std::optional<StoredValue> ValueOf(std::string_view key) const;
  // Every key of the root dictionary once, in byte order, as the library tells keys apart (a key
  // holding a NUL is its own key).
  [[nodiscard]] std::vector<std::string> Keys() const;

 private:
  std::string bytes_;
};

// In a few words, why a verdict is not settings: "not a property list", "nesting deeper than 512
// levels", "an object refers to itself", or "its root is an array, not a dictionary". An empty
// file says so.
[[nodiscard]] std::string WhyNoSettings(const SettingsDocument& document);

// In a few words, why a file could not be read at all: "no such file", "not a regular file",
// "larger than the library's limit of 65536 bytes".
[[nodiscard]] std::string WhyUnreadable(FileReadFailure failure);

}  // namespace umbravista::check
