#include "tests/settings/ReferenceReading.h"

#include <plist/plist.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "propertylist/PropertyListReader.h"
#include "propertylist/TruthValue.h"
#include "settings/SettingsKeys.h"

namespace umbravista::testkit {
namespace {

// More nodes than this and libplist is not asked: it builds every one of them.
constexpr std::uint64_t kLargestExpansion = 200'000;

// The reader's memory for one read of a fresh copy of the document.
class ReaderCopy {
 public:
  explicit ReaderCopy(std::string_view document)
      : bytes_(document.begin(), document.end()), work_(WorkBytesFor(document.size()) / 8 + 1) {}

  PropertyListSpace Space() {
    return {bytes_, std::as_writable_bytes(std::span<std::uint64_t>(work_))};
  }

 private:
  std::vector<char> bytes_;
  std::vector<std::uint64_t> work_;
};

struct Reading {
  SettingsLookup lookup;
  std::string text;           // The string value's bytes, copied out of the reader's memory.
  std::optional<bool> truth;  // The value's truth, read as the switch is (Decoding::kTruth).
};

Reading ReadKey(std::string_view document, std::string_view key) {
  ReaderCopy copy(document);
  Reading reading{LookUpKey(copy.Space(), key), {}, {}};
  if (reading.lookup.value && reading.lookup.value->kind == ValueKind::kString) {
    reading.text = std::string(reading.lookup.value->text);
  }
  ReaderCopy truthCopy(document);
  const SettingsLookup truth = LookUpKey(truthCopy.Space(), key, Decoding::kTruth);
  if (truth.value) reading.truth = TruthValue(*truth.value);
  return reading;
}

class KeyCollector : public RootEntryVisitor {
 public:
  void Visit(std::string_view key, const SettingsValue&) override { keys.emplace_back(key); }
  std::vector<std::string> keys;
};

// --- How large libplist's tree of a binary document would be.

struct BinaryLayout {
  std::string_view bytes;
  std::uint8_t offsetSize = 0;
  std::uint8_t refSize = 0;
  std::uint64_t objects = 0;
  std::uint64_t root = 0;
  std::uint64_t table = 0;

  [[nodiscard]] std::uint64_t Number(std::uint64_t at, std::uint64_t count) const {
    if (count > 8) {
      at += count - 8;
      count = 8;
    }
    std::uint64_t value = 0;
    for (std::uint64_t i = 0; i < count && at + i < bytes.size(); ++i) {
      value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
  }

  // The objects a container's references name, read leniently: anything odd is a leaf.
  [[nodiscard]] std::vector<std::uint64_t> Children(std::uint64_t index) const {
    std::vector<std::uint64_t> children;
    const std::uint64_t offset = Number(table + index * offsetSize, offsetSize);
    if (offset >= table) return children;
    const auto marker = static_cast<unsigned char>(bytes[offset]);
    const unsigned type = marker & 0xF0U;
    if (type != 0xA0 && type != 0xC0 && type != 0xD0) return children;
    std::uint64_t count = marker & 0x0FU;
    std::uint64_t at = offset + 1;
    if (count == 0x0F) {
      const auto sizeMarker = static_cast<unsigned char>(bytes[at]);
      if ((sizeMarker & 0xF0U) != 0x10) return children;
      const std::uint64_t sizeBytes = std::uint64_t{1} << (sizeMarker & 0x0FU);
      if (at + 1 + sizeBytes > table) return children;
      count = Number(at + 1, sizeBytes);
      at += 1 + sizeBytes;
    }
    const std::uint64_t references = type == 0xD0 ? 2 * count : count;
    for (std::uint64_t i = 0; i < references; ++i) {
      const std::uint64_t slot = at + i * refSize;
      if (slot + refSize > table) break;
      const std::uint64_t child = Number(slot, refSize);
      if (child < objects) children.push_back(child);
    }
    return children;
  }
};

std::optional<BinaryLayout> LayoutOf(std::string_view bytes) {
  if (bytes.size() < 40 || bytes.substr(0, 8) != "bplist00") return std::nullopt;
  BinaryLayout layout{bytes};
  const std::size_t trailer = bytes.size() - 32;
  layout.offsetSize = static_cast<std::uint8_t>(bytes[trailer + 6]);
  layout.refSize = static_cast<std::uint8_t>(bytes[trailer + 7]);
  layout.objects = layout.Number(trailer + 8, 8);
  layout.root = layout.Number(trailer + 16, 8);
  layout.table = layout.Number(trailer + 24, 8);
  if (layout.objects == 0 || layout.offsetSize == 0 || layout.refSize == 0 ||
      layout.root >= layout.objects || layout.table < 8 || layout.table >= trailer ||
      layout.objects > trailer || layout.objects * layout.offsetSize > trailer - layout.table) {
    return std::nullopt;  // libplist refuses it before building anything.
  }
  return layout;
}

// Counts the nodes of the expansion, each object's subtree once (cycles count as leaves), capped.
std::uint64_t ExpansionSize(const BinaryLayout& layout) {
  std::vector<std::uint64_t> counted(layout.objects, 0);  // 0: not yet counted.
  std::vector<bool> open(layout.objects, false);
  struct Step {
    std::uint64_t index;
    std::vector<std::uint64_t> children;
    std::size_t next = 0;
    std::uint64_t total = 1;
  };
  std::vector<Step> path;
  path.push_back({layout.root, layout.Children(layout.root)});
  open[layout.root] = true;
  while (!path.empty()) {
    if (path.size() > 4 * kMaximumNesting) return kLargestExpansion + 1;
    Step& step = path.back();
    if (step.next == step.children.size()) {
      counted[step.index] = step.total;
      open[step.index] = false;
      const std::uint64_t total = step.total;
      path.pop_back();
      if (!path.empty())
        path.back().total = std::min(path.back().total + total, kLargestExpansion + 1);
      continue;
    }
    const std::uint64_t child = step.children[step.next++];
    if (open[child]) continue;
    if (counted[child] != 0) {
      step.total = std::min(step.total + counted[child], kLargestExpansion + 1);
      continue;
    }
    open[child] = true;
    path.push_back({child, layout.Children(child)});
  }
  return counted[layout.root];
}

// --- libplist's answers.

using PlistOwner = std::unique_ptr<void, decltype(&plist_free)>;

std::optional<ValueKind> KindOf(plist_t node) {
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN:
      return ValueKind::kBoolean;
    case PLIST_UINT:
      return ValueKind::kInteger;
    case PLIST_REAL:
      return ValueKind::kReal;
    case PLIST_STRING:
      return ValueKind::kString;
    case PLIST_ARRAY:
      return ValueKind::kArray;
    case PLIST_DICT:
      return ValueKind::kDictionary;
    case PLIST_DATE:
      return ValueKind::kDate;
    case PLIST_DATA:
      return ValueKind::kData;
    case PLIST_UID:
      return ValueKind::kUid;
    default:
      return std::nullopt;
  }
}

std::string Printable(std::string_view text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown += escaped;
    } else {
      shown += c;
    }
  }
  return shown;
}

// Whether libplist's string and the reader's agree, a NUL allowed for.
bool SameString(std::string_view reference, std::string_view ours) {
  if (reference == ours) return true;
  const std::size_t nul = ours.find('\0');
  // A binary ASCII string, which libplist cuts at its first NUL.
  return nul != std::string_view::npos && reference == ours.substr(0, nul);
}

std::optional<std::string> ValueDifference(plist_t reference, const Reading& ours) {
  const SettingsValue& value = *ours.lookup.value;
  const std::optional<ValueKind> kind = KindOf(reference);
  if (!kind || *kind != value.kind) return std::string("kinds differ");
  switch (value.kind) {
    case ValueKind::kBoolean: {
      std::uint8_t flag = 0;
      plist_get_bool_val(reference, &flag);
      if ((flag != 0) != value.boolean) return std::string("booleans differ");
      break;
    }
    case ValueKind::kInteger: {
      std::uint64_t number = 0;
      plist_get_uint_val(reference, &number);
      if (number != value.integer) {
        return "integers differ: " + std::to_string(number) + " and " +
               std::to_string(value.integer);
      }
      break;
    }
    case ValueKind::kReal: {
      double number = 0;
      plist_get_real_val(reference, &number);
      // Bit for bit, so that NaN meets NaN and -0.0 is not 0.0.
      if (std::bit_cast<std::uint64_t>(number) != std::bit_cast<std::uint64_t>(value.real)) {
        return "reals differ: " + std::to_string(number) + " and " + std::to_string(value.real);
      }
      break;
    }
    case ValueKind::kString: {
      std::uint64_t length = 0;
      const char* text = plist_get_string_ptr(reference, &length);
      const std::string_view theirs(text == nullptr ? "" : text, length);
      if (!SameString(theirs, ours.text)) {
        return "strings differ: \"" + Printable(theirs) + "\" and \"" + Printable(ours.text) + "\"";
      }
      if (ours.truth != StringTruthValue(theirs)) {
        return "the truth of \"" + Printable(theirs) + "\" differs when only it is asked";
      }
      break;
    }
    default:
      break;
  }
  return std::nullopt;
}

ComparisonResult Disagree(std::string difference) {
  return {Comparison::kDisagree, std::move(difference)};
}

std::string VerdictName(const SettingsLookup& verdict) {
  if (verdict.verdict == Verdict::kSettings) return "settings";
  return Describe({verdict.verdict, verdict.rootKind, std::nullopt});
}

}  // namespace

std::string Describe(const SettingsLookup& lookup) {
  constexpr const char* kKinds[] = {"string", "boolean", "integer",    "real", "date",
                                    "data",   "array",   "dictionary", "uid"};
  switch (lookup.verdict) {
    case Verdict::kNotPropertyList:
      return "not a property list";
    case Verdict::kNestedTooDeep:
      return "nested too deep";
    case Verdict::kRefersToItself:
      return "refers to itself";
    case Verdict::kRootNotDictionary:
      return std::string("root: ") + kKinds[static_cast<int>(lookup.rootKind)];
    case Verdict::kSettings:
      break;
  }
  if (!lookup.value) return "absent";
  const SettingsValue& value = *lookup.value;
  switch (value.kind) {
    case ValueKind::kString:
      return "string \"" + Printable(value.text) + "\"";
    case ValueKind::kBoolean:
      return value.boolean ? "boolean true" : "boolean false";
    case ValueKind::kInteger:
      return "integer " + std::to_string(value.integer);
    case ValueKind::kReal: {
      char text[32];
      std::snprintf(text, sizeof text, "real %g", value.real);
      return text;
    }
    default:
      return kKinds[static_cast<int>(value.kind)];
  }
}

// Whether `bytes` is a binary document whose trailer's object count or offset table position does
// not fit a size_t.
bool TrailerTruncated(std::string_view bytes) {
  if (bytes.size() < 40 || bytes.substr(0, 8) != "bplist00") return false;
  const BinaryLayout layout{bytes};
  for (const std::size_t field : {bytes.size() - 24, bytes.size() - 8}) {
    const std::uint64_t value = layout.Number(field, 8);
    if (static_cast<std::size_t>(value) != value) return true;
  }
  return false;
}

ComparisonResult CompareWithReference(std::string_view document) {
  ReaderCopy copy(document);
  KeyCollector ourKeys;
  const SettingsLookup verdict = VisitRootEntries(copy.Space(), ourKeys);
  if (verdict.verdict == Verdict::kNestedTooDeep) return {Comparison::kReferenceUnbounded, {}};
  if (const std::optional<BinaryLayout> layout = LayoutOf(document)) {
    if (ExpansionSize(*layout) > kLargestExpansion) return {Comparison::kReferenceUnbounded, {}};
  }

  plist_t parsed = nullptr;
  plist_from_memory(document.data(), static_cast<std::uint32_t>(document.size()), &parsed);
  const PlistOwner root(parsed, &plist_free);
  if (root != nullptr && verdict.verdict == Verdict::kNotPropertyList &&
      TrailerTruncated(document)) {
    return {Comparison::kReferenceTruncatesTrailer, {}};
  }
  if (root == nullptr) {
    if (verdict.verdict == Verdict::kNotPropertyList ||
        verdict.verdict == Verdict::kRefersToItself) {
      return {};
    }
    return Disagree(std::string("libplist reads no property list, the reader ") +
                    VerdictName(verdict));
  }
  const std::optional<ValueKind> rootKind = KindOf(root.get());
  if (rootKind != ValueKind::kDictionary) {
    if (verdict.verdict == Verdict::kRootNotDictionary && rootKind == verdict.rootKind) return {};
    return Disagree(std::string("libplist reads a root of another kind, the reader ") +
                    VerdictName(verdict));
  }
  if (verdict.verdict != Verdict::kSettings) {
    return Disagree(std::string("libplist reads settings, the reader ") + VerdictName(verdict));
  }

  // libplist keeps every entry of a binary dictionary and one per key of an XML one, keys cut at
  // a NUL; the reader's entries must come to the same number. (Its own listing of keys asserts on
  // a key holding a NUL, so the keys to compare come from the reader.)
  std::set<std::string> distinctKeys;
  std::set<std::string> cutKeys;
  for (const std::string& key : ourKeys.keys) {
    const std::size_t nul = key.find('\0');
    distinctKeys.insert(key.substr(0, nul));
    if (nul != std::string::npos) cutKeys.insert(key.substr(0, nul));
  }
  const bool binary = document.starts_with("bplist00");
  const std::size_t entries = binary ? ourKeys.keys.size() : distinctKeys.size();
  if (plist_dict_get_size(root.get()) != entries) {
    return Disagree("libplist reads " + std::to_string(plist_dict_get_size(root.get())) +
                    " entries, the reader " + std::to_string(entries));
  }
  std::set<std::string> keys(distinctKeys);
  keys.insert(kSettingsKeys.begin(), kSettingsKeys.end());
  for (const std::string& key : keys) {
    const plist_t reference = plist_dict_get_item(root.get(), key.c_str());
    if (cutKeys.contains(key)) {
      if (reference == nullptr)
        return Disagree("libplist lacks the cut key \"" + Printable(key) + "\"");
      continue;
    }
    const Reading ours = ReadKey(document, key);
    if (ours.lookup.verdict != Verdict::kSettings) {
      return Disagree("the reader changed its verdict looking up \"" + Printable(key) + "\"");
    }
    if ((reference != nullptr) != ours.lookup.value.has_value()) {
      return Disagree("key \"" + Printable(key) + "\" is " +
                      (reference != nullptr ? "present" : "absent") + " to libplist and " +
                      (ours.lookup.value ? "present" : "absent") + " to the reader");
    }
    if (reference == nullptr) continue;
    if (std::optional<std::string> difference = ValueDifference(reference, ours)) {
      return Disagree("key \"" + Printable(key) + "\": " + *difference);
    }
  }
  return {};
}

}  // namespace umbravista::testkit
