#include "tools/check/SettingsDocument.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <span>
#include <utility>

#include "settings/SettingsFile.h"
#include "tools/check/ValueDescription.h"

namespace umbravista::check {
namespace {

// A fresh copy of the bytes and a work area, for one read.
class ReadSpace {
 public:
  explicit ReadSpace(std::string_view bytes)
      : document_(bytes.begin(), bytes.end()),
        work_(WorkBytesFor(bytes.size()) / sizeof(std::uint64_t) + 1) {}

  PropertyListSpace Space() {
    return {document_, std::as_writable_bytes(std::span<std::uint64_t>(work_))};
  }

 private:
  std::vector<char> document_;
  std::vector<std::uint64_t> work_;
};

class KeyCollector final : public RootEntryVisitor {
 public:
  void Visit(std::string_view key, const SettingsValue&) override { keys.emplace(key); }
  std::set<std::string> keys;
};

StoredValue Stored(const SettingsValue& value) {
  return {value.kind, std::string(value.text), value.boolean, value.integer, value.real};
}

}  // namespace

SettingsValue StoredValue::View() const {
  SettingsValue value;
  value.kind = kind;
  value.text = text;
  value.boolean = boolean;
  value.integer = integer;
  value.real = real;
  return value;
}

SettingsDocument::SettingsDocument(std::string bytes) : bytes_(std::move(bytes)) {}

SettingsLookup SettingsDocument::Verdict() const {
  ReadSpace space(bytes_);
  return LookUpKey(space.Space(), {});
}

std::optional<StoredValue> SettingsDocument::ValueOf(std::string_view key) const {
  ReadSpace space(bytes_);
  const SettingsLookup lookup = LookUpKey(space.Space(), key);
  if (lookup.verdict != umbravista::Verdict::kSettings || !lookup.value) return std::nullopt;
  return Stored(*lookup.value);
}

std::vector<std::string> SettingsDocument::Keys() const {
  ReadSpace space(bytes_);
  KeyCollector collector;
  if (VisitRootEntries(space.Space(), collector).verdict != umbravista::Verdict::kSettings) {
    return {};
  }
  return {collector.keys.begin(), collector.keys.end()};
}

std::string WhyUnreadable(FileReadFailure failure) {
  switch (failure) {
    case FileReadFailure::kNoPath:
      return "no path given";
    case FileReadFailure::kMissing:
      return "no such file";
    case FileReadFailure::kCannotOpen:
      return "the file cannot be opened";
    case FileReadFailure::kNotRegularFile:
      return "not a regular file";
    case FileReadFailure::kLargerThanCap:
      return "larger than the library's limit of " + std::to_string(kSettingsSizeCap) + " bytes";
    case FileReadFailure::kReadError:
      return "reading the file failed";
    case FileReadFailure::kChangedWhileRead:
      return "the file changed while it was read";
    case FileReadFailure::kNoMemory:
      return "no memory to read it";
  }
  return "the file cannot be read";
}

std::string WhyNoSettings(const SettingsDocument& document) {
  if (document.Bytes().empty()) return "the file is empty, not a property list";
  const SettingsLookup verdict = document.Verdict();
  switch (verdict.verdict) {
    case Verdict::kRootNotDictionary:
      return "its root is " + DescribeKind(verdict.rootKind) + ", not a dictionary";
    case Verdict::kNestedTooDeep:
      return "nesting deeper than " + std::to_string(kMaximumNesting) + " levels";
    case Verdict::kRefersToItself:
      return "an object refers to itself";
    default:
      return "not a property list";
  }
}

}  // namespace umbravista::check
