#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The settings reader: finds one key of a property list whose root is a dictionary and decodes
// that one value, without building a tree of the document. It reads the XML and the binary forms
// and answers as libplist 2.2 does for every document that libplist reads, with three deliberate
// differences, each where libplist cannot be bounded or loses data:
//
// - Containers nested deeper than kMaximumNesting read as no settings (kNestedTooDeep).
// - A binary document is checked object by object, each object once however many references
//   point to it, so shared references cost nothing more; libplist expands them into a tree whose
//   size grows exponentially with such a file.
// - A NUL byte inside a string or a key is part of it. A key holding one therefore never names a
//   setting, and a string holding one names no colour.
//
// Like libplist, the reader refuses the whole document when any object in it is bad, also one
// after the key, and it resolves a key written twice the way libplist does: the last one counts in
// XML, the first one in the binary form.
//
// Bounds: time linear in the document's size, with a small constant whatever its shape (each byte
// is looked at a bounded number of times, each binary object is checked once and each reference
// to it costs a few steps); no recursion, so the stack is bounded (a few KiB of frames); no
// allocation. The memory it works in is the caller's (PropertyListSpace).
namespace umbravista {

// The deepest nesting of arrays and dictionaries that a settings file may have, the root
// dictionary being level 1. A document nested deeper reads as no settings.
inline constexpr std::size_t kMaximumNesting = 512;

// The kinds of value a property list holds. A binary set reads as an array, as libplist reads it.
enum class ValueKind : std::uint8_t {
  kString,
  kBoolean,
  kInteger,
  kReal,
  kDate,
  kData,
  kArray,
  kDictionary,
  kUid,
};

// One decoded value. Only the member that its kind names is meaningful; the contents of dates,
// data, containers and UIDs are checked but not decoded, since no setting is one.
struct SettingsValue {
  ValueKind kind = ValueKind::kString;
  // kString: the text as UTF-8, every byte kept. It points into the PropertyListSpace that was
  // read and lives as long as that memory is left alone.
  std::string_view text;
  bool boolean = false;
  // kInteger: the value's 64 bits; a negative integer is kept as its two's complement, and of a
  // 128-bit binary integer the low 64 bits are kept, as libplist keeps them.
  std::uint64_t integer = 0;
  double real = 0.0;  // kReal; a binary 32-bit real is widened.
};

// Whether a document holds settings, and if not, why not.
enum class Verdict : std::uint8_t {
  kSettings,           // A sound property list whose root is a dictionary.
  kNotPropertyList,    // Not a property list in either form, or one with a bad object anywhere.
  kRootNotDictionary,  // A sound property list whose root is of another kind.
  kNestedTooDeep,      // Containers nested deeper than kMaximumNesting.
  kRefersToItself,     // A binary object that contains itself, directly or through others.
};

struct SettingsLookup {
  Verdict verdict = Verdict::kNotPropertyList;
  ValueKind rootKind = ValueKind::kDictionary;  // The root's kind, for kRootNotDictionary.
  // The key's value; only with kSettings, and only when the root holds the key.
  std::optional<SettingsValue> value;
};

// How much of the value found a lookup decodes. The document is checked whole either way.
enum class Decoding : std::uint8_t {
  kValue,  // All of it: text, number or truth.
  kKind,   // Only its kind, for a caller that asks whether the key is there: the text is left
           // empty and numbers zero, and a long string costs nothing to find.
  kTruth,  // As kValue, for a caller that asks only the value's truth (TruthValue): a string's
           // text may be shortened to what decides its truth, which leaves that truth as it is:
           // without the white space it starts with, with one zero for its run of zeros, and
           // ending at the character that decides. Text that must be made UTF-8 then costs little
           // more than finding it.
};

// The memory one read works in. The document's bytes may be rewritten by the read (XML text is
// decoded where it stands); the work area holds the binary form's bookkeeping and its decoded
// UTF-16 text. Values answered point into one or the other.
struct PropertyListSpace {
  std::span<char> document;
  // At least WorkBytesFor(document.size()) bytes, aligned for 16-bit numbers; only a binary
  // document uses it.
  std::span<std::byte> work;
};

// The size of the work area that a document of `documentSize` bytes may need: two bytes per
// binary object, and room for a key and a value of UTF-16 text made UTF-8, which grows by half at
// most, even when both are the same object.
[[nodiscard]] constexpr std::size_t WorkBytesFor(std::size_t documentSize) {
  return 3 * documentSize + 16;
}

// The largest document read; anything larger reads as no settings. libplist takes no more either.
inline constexpr std::size_t kLargestDocument = 0x7FFFFFFF;

// Reads the document in `space` and answers its verdict and the value stored under `key` in its
// root dictionary, decoded as `decoding` asks. The key is compared byte for byte,
// case-sensitively. A binary document given a work area smaller than WorkBytesFor asks for, or a
// document larger than kLargestDocument, reads as no settings (kNotPropertyList).
[[nodiscard]] SettingsLookup LookUpKey(PropertyListSpace space, std::string_view key,
                                       Decoding decoding = Decoding::kValue);

// Receives the entries of a root dictionary, for tools that list a settings file.
class RootEntryVisitor {
 public:
  virtual ~RootEntryVisitor() = default;
  // Called once per entry of the root dictionary, in document order, keys written twice included.
  // The key and the value live until Visit returns, no longer: a visitor that keeps them copies
  // them. Entries seen before a bad object was found are visited too: only a verdict of kSettings
  // says that they are settings.
  virtual void Visit(std::string_view key, const SettingsValue& value) = 0;
};

// Reads the document in `space` as LookUpKey does, and hands every entry of its root dictionary to
// `visitor`. Answers the verdict and the root's kind; the answer's value is empty.
SettingsLookup VisitRootEntries(PropertyListSpace space, RootEntryVisitor& visitor);

}  // namespace umbravista
