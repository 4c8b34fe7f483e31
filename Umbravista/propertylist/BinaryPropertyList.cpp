#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#include "propertylist/ByteScan.h"
#include "propertylist/Invariant.h"
#include "propertylist/PropertyListForms.h"
#include "propertylist/TruthValue.h"
#include "propertylist/Utf8.h"

// The binary form: a header, objects, a table of their offsets and a trailer that names the root
// object. libplist expands it into a tree from the root, checking each object every time a
// reference leads to it; here every object reachable from the root is checked once, in a walk
// that keeps its path of open containers in a fixed array and its verdict per object in the work
// area, so that time and memory stay linear in the file whatever its references do. An object met
// again on the path is a cycle, which libplist refuses too. A reference to an object checked
// before costs a lookup of its verdict, and the key looked up is compared with each key object of
// the root at most once.
namespace umbravista::property_list {
namespace {

constexpr std::size_t kHeaderBytes = 8;    // "bplist00".
constexpr std::size_t kTrailerBytes = 32;  // Sizes, object count, root and table offset.

// How the body that follows an object's marker is read.
enum class Body : std::uint8_t {
  kRefused,     // A type libplist does not read: the document is refused.
  kSimple,      // False (0x08) or true (0x09), held in the marker; null and fill are refused.
  kInteger,     // 2^n bytes, n at most 4; of 16 bytes the low 8 are kept.
  kReal,        // 4 or 8 bytes.
  kDate,        // 8 bytes, after the marker 0x33.
  kBytes,       // `size` bytes: data, or ASCII text.
  kUtf16,       // `size` big-endian UTF-16 units, at least one.
  kUid,         // `size` + 1 bytes, holding at most 32 bits.
  kReferences,  // `size` references: an array, or a set, which reads as an array.
  kPairs,       // `size` references to keys, then `size` to their values.
};

struct MarkerRow {
  ValueKind kind;
  Body body;
  bool sizeMayFollow;  // A size of 0xF in the marker means that an integer holding it follows.
};

// One row per high four bits of an object's marker; the low four say a size or a value.
constexpr std::array<MarkerRow, 16> kMarkers = {{
    /* 0x0 */ {ValueKind::kBoolean, Body::kSimple, false},
    /* 0x1 */ {ValueKind::kInteger, Body::kInteger, false},
    /* 0x2 */ {ValueKind::kReal, Body::kReal, false},
    /* 0x3 */ {ValueKind::kDate, Body::kDate, false},
    /* 0x4 */ {ValueKind::kData, Body::kBytes, true},
    /* 0x5 */ {ValueKind::kString, Body::kBytes, true},
    /* 0x6 */ {ValueKind::kString, Body::kUtf16, true},
    /* 0x7 */ {ValueKind::kString, Body::kRefused, false},
    /* 0x8 */ {ValueKind::kUid, Body::kUid, false},
    /* 0x9 */ {ValueKind::kString, Body::kRefused, false},
    /* 0xA */ {ValueKind::kArray, Body::kReferences, true},
    /* 0xB */ {ValueKind::kString, Body::kRefused, false},
    /* 0xC */ {ValueKind::kArray, Body::kReferences, true},
    /* 0xD */ {ValueKind::kDictionary, Body::kPairs, true},
    /* 0xE */ {ValueKind::kString, Body::kRefused, false},
    /* 0xF */ {ValueKind::kString, Body::kRefused, false},
}};

constexpr std::uint8_t kSizeFollows = 0x0F;
constexpr std::uint8_t kIntegerMarker = 0x10;

// What an object is, once its marker and size have been read.
struct Object {
  ValueKind kind = ValueKind::kString;
  std::uint64_t body = 0;   // Offset of what follows the marker and size.
  std::uint64_t count = 0;  // Entries of a container, bytes of an ASCII string, units of UTF-16.
  bool unicode = false;
  bool boolean = false;
  std::uint64_t integer = 0;
  double real = 0.0;

  [[nodiscard]] bool IsContainer() const {
    return kind == ValueKind::kArray || kind == ValueKind::kDictionary;
  }
};

// One open container on the walk's path.
struct Frame {
  std::uint32_t index;  // The container's object.
  // What its walk needs of the object, kept so that it is not read again when a child is done: a
  // document is at most kLargestDocument bytes, so its offsets and counts fit 32 bits.
  std::uint32_t body;
  std::uint32_t count;
  ValueKind kind;
  std::uint32_t nextChild;     // How many of its children have been seen.
  std::uint16_t deepestChild;  // The most containers nested under one of its children so far.
};

// An object's verdict in the work area: not yet met, open on the path, or checked and then what it
// is, a container with the most containers nested in it (itself included) after kContainer.
enum : std::uint16_t {
  kUnseen = 0,
  kOnPath = 1,
  kScalar = 2,
  kString = 3,
  kNotTheKey = 4,  // A string, compared as a key of the root with the key looked up, and unequal.
  kContainer = 5,
};

// What an object's marker alone tells. For a scalar, string or empty container, that it is sound,
// given room for its body: the verdict that ObjectAt and Meet (or, for an empty container, its
// walk) would give it, and how many bytes follow the marker. For any other container whose count
// is in its marker, only that it is one: its children tell whether it is sound. Every other marker
// (kUnseen, and no container here) is read by ObjectAt.
struct QuickObject {
  std::uint16_t verdict = kUnseen;
  std::uint8_t bodyBytes = 0;
  bool smallContainer = false;
};

constexpr auto kQuickObjects = [] {
  std::array<QuickObject, 256> objects{};
  objects[0x08] = objects[0x09] = {kScalar, 0};  // False and true.
  for (unsigned n = 0; n <= 4; ++n) objects[0x10 + n] = {kScalar, std::uint8_t(1U << n)};
  objects[0x22] = {kScalar, 4};  // Reals.
  objects[0x23] = {kScalar, 8};
  objects[0x33] = {kScalar, 8};  // A date.
  for (unsigned n = 0; n < kSizeFollows; ++n) {
    objects[0x40 + n] = {kScalar, std::uint8_t(n)};                 // Data.
    objects[0x50 + n] = {kString, std::uint8_t(n)};                 // ASCII.
    if (n > 0) objects[0x60 + n] = {kString, std::uint8_t(2 * n)};  // UTF-16, never empty.
    // Containers of fewer than 15 children, which have more to check than their marker, but
    // for the empty ones, which nest one level.
    const QuickObject container =
        n == 0 ? QuickObject{kContainer + 1, 0, false} : QuickObject{kUnseen, 0, true};
    objects[0xA0 + n] = objects[0xC0 + n] = objects[0xD0 + n] = container;
  }
  return objects;
}();

class BinaryReader {
 public:
  BinaryReader(std::span<const char> document, std::span<std::byte> work,
               const ReadRequest& request)
      : data_(reinterpret_cast<const unsigned char*>(document.data())),
        size_(document.size()),
        work_(work),
        request_(request),
        keyWord_(request.key.size() <= kWordBytes ? WordOf(request.key) : 0) {}

  SettingsLookup Read() {
    SettingsLookup answer;
    if (!ReadTrailer()) return answer;
    answer.verdict = CheckObjects();
    if (answer.verdict != Verdict::kSettings) return answer;
    answer.rootKind = rootKind_;
    if (rootKind_ != ValueKind::kDictionary) {
      answer.verdict = Verdict::kRootNotDictionary;
      return answer;
    }
    // The verdicts are done with: the work area holds decoded text from here on.
    char* text = reinterpret_cast<char*>(work_.data());
    if (request_.visitor != nullptr) {
      VisitRoot(*request_.visitor, text);
    } else if (found_) {
      answer.value = Decode(valueIndex_, request_.decoding, text);
    }
    return answer;
  }

 private:
  bool ReadTrailer() {
    if (size_ < kHeaderBytes + kTrailerBytes) return false;
    const std::size_t trailer = size_ - kTrailerBytes;
    offsetSize_ = data_[trailer + 6];
    refSize_ = data_[trailer + 7];
    objectCount_ = Number(trailer + 8, 8);
    root_ = Number(trailer + 16, 8);
    tableOffset_ = Number(trailer + 24, 8);
    if (objectCount_ == 0 || offsetSize_ == 0 || refSize_ == 0 || root_ >= objectCount_) {
      return false;
    }
    if (tableOffset_ < kHeaderBytes || tableOffset_ >= trailer) return false;
    std::uint64_t tableBytes = 0;
    if (__builtin_mul_overflow(objectCount_, std::uint64_t{offsetSize_}, &tableBytes)) return false;
    if (tableBytes > trailer - tableOffset_) return false;
    // An offset wider than eight bytes counts by its last eight, as Number reads it.
    const unsigned wider = offsetSize_ > 8 ? offsetSize_ - 8 : 0;
    offsets_ = data_ + tableOffset_ + wider;
    offsetShift_ = wider > 0 ? 0 : 64 - 8 * offsetSize_;
    // The verdicts take two bytes per object; the table alone is at least one byte per object.
    return work_.size() >= WorkBytesFor(size_) &&
           reinterpret_cast<std::uintptr_t>(work_.data()) % alignof(std::uint16_t) == 0;
  }

  // Walks every object reachable from the root once, as libplist's expansion would meet them, and
  // compares the keys of the root with the key looked up on the way.
  Verdict CheckObjects() {
    verdicts_ = reinterpret_cast<std::uint16_t*>(work_.data());
    std::memset(verdicts_, 0, objectCount_ * sizeof(std::uint16_t));
    Object container;
    if (!ObjectAt(root_, container)) return Verdict::kNotPropertyList;
    rootKind_ = container.kind;
    if (!container.IsContainer()) return Verdict::kSettings;
    std::size_t depth = 0;
    Push(root_, container, depth);
    // `container` is always the object of the innermost frame.
    while (depth > 0) {
      Frame& frame = frames_[depth - 1];
      Object opened;
      switch (WalkChildren(container, frame, depth, opened)) {
        case Step::kDone: {
          const auto nested = static_cast<std::uint16_t>(frame.deepestChild + 1);
          verdicts_[frame.index] = kContainer + nested;
          if (--depth == 0) break;
          Frame& parent = frames_[depth - 1];
          parent.deepestChild = std::max(parent.deepestChild, nested);
          container.kind = parent.kind;
          container.body = parent.body;
          container.count = parent.count;
          break;
        }
        case Step::kOpen:
          if (!Push(openedIndex_, opened, depth)) {
            return Verdict::kNestedTooDeep;
          }
          container = opened;
          break;
        case Step::kNotPropertyList:
          return Verdict::kNotPropertyList;
        case Step::kRefersToItself:
          return Verdict::kRefersToItself;
        case Step::kNestedTooDeep:
          return Verdict::kNestedTooDeep;
      }
    }
    return Verdict::kSettings;
  }

  // What reading a container's children came to.
  enum class Step : std::uint8_t {
    kDone,  // Every child is checked.
    kOpen,  // A child is a container met for the first time, to be opened (openedIndex_).
    kNotPropertyList,
    kRefersToItself,
    kNestedTooDeep,
  };

  // Reads the children of `container`, the object of `frame` at `depth`, from the frame's next one
  // on, in libplist's order (a dictionary's key, with its value's reference, then the value), until
  // all are checked or one must be opened (into `opened`) or is bad. Each reference costs a lookup
  // of its object's verdict; an object met for the first time is checked, once.
  Step WalkChildren(const Object& container, Frame& frame, std::size_t depth, Object& opened) {
    // Each reader takes the references' start and a reference's place among them: with a width
    // known when compiled, the place is scaled within the load.
    switch (refSize_) {
      case 1:
        return WalkChildren(container, frame, depth, opened,
                            [](const unsigned char* references,
                               std::uint64_t slot) -> std::uint64_t { return references[slot]; });
      case 2:
        return WalkChildren(
            container, frame, depth, opened,
            [](const unsigned char* references, std::uint64_t slot) -> std::uint64_t {
              return BigEndianPair(references + 2 * slot);
            });
      default:
        return WalkChildren(container, frame, depth, opened,
                            [this](const unsigned char* references, std::uint64_t slot) {
                              return Field(references - data_ + slot * refSize_, refSize_);
                            });
    }
  }

  template <typename ReadReference>
  Step WalkChildren(const Object& container, Frame& frame, std::size_t depth, Object& opened,
                    ReadReference read) {
    const unsigned stride = refSize_;
    const unsigned char* const references = data_ + container.body;
    const std::uint64_t objects = objectCount_;
    const std::uint16_t* const verdicts = verdicts_;
    // A checked object fits as a value when it is no container or nests shallowly enough: its
    // verdict lies in [kScalar, kContainer + the levels left], which one comparison tells.
    const auto deepestFitting =
        static_cast<std::uint16_t>(kContainer + (kMaximumNesting - depth) - kScalar);
    std::uint16_t deepest = kScalar;  // The largest verdict passed over: how deep it went.
    const auto fits = [&](std::uint16_t seen) {
      if (static_cast<std::uint16_t>(seen - kScalar) > deepestFitting) return false;
      deepest = std::max(deepest, seen);
      return true;
    };
    // Each reference must lie wholly before the offset table: ReferencesBeforeTable tells how many
    // do, and the first that does not refuses the document when the walk comes to it.
    std::uint64_t child = frame.nextChild;
    Step step = Step::kDone;
    // The object of the reference before, when it was settled: a run of references to one object,
    // which libplist expands again and again, costs a comparison each.
    std::uint64_t previous = objects;
    if (container.kind == ValueKind::kArray) {
      const std::uint64_t last = ReferencesBeforeTable(container.body, 0, container.count);
      for (; child < last; ++child) {
        const std::uint64_t index = read(references, child);
        // Checked first: `previous` starts as one past the last object, which a bad reference
        // names.
        if (index >= objects) {
          step = Step::kNotPropertyList;
          break;
        }
        if (index == previous) continue;
        if (fits(verdicts[index]) || fits(Settle(index, depth, read))) {
          previous = index;
          continue;
        }
        step = Meet(index, false, opened);
        if (step != Step::kDone) break;
        previous = index;
      }
      if (step == Step::kDone && child < container.count) step = Step::kNotPropertyList;
    } else {
      // Entry by entry: the key, with its value's reference, then the value. A frame is only left
      // after a whole entry or to open a value, so it is taken up again at a key.
      UMBRAVISTA_ASSERT(child % 2 == 0);
      bool comparing = request_.visitor == nullptr && depth == 1 && !found_;
      std::uint64_t entry = child / 2;
      const unsigned char* const values = references + container.count * stride;
      // The value's reference lies after the key's: when it fits, both do.
      const std::uint64_t last =
          ReferencesBeforeTable(container.body, container.count, container.count);
      std::uint64_t previousKey = objects;
      child = 2 * container.count;
      for (; entry < last; ++entry) {
        const std::uint64_t value = read(values, entry);
        const std::uint64_t key = read(references, entry);
        if (value >= objects || key >= objects) {
          step = Step::kNotPropertyList;
          child = 2 * entry;
          break;
        }
        // A key met again is a string that is not the key looked up, or the key found, which
        // ends the comparing: either way there is nothing more to do with it.
        const std::uint16_t keySeen = verdicts[key];
        if (key != previousKey && keySeen != kNotTheKey && (keySeen != kString || comparing)) {
          if (keySeen == kString) {
            [[maybe_unused]] const bool sound = ObjectAt(key, opened);
            UMBRAVISTA_ASSERT(sound);
          } else if (keySeen != kUnseen || !SettleString(key, opened)) {
            if ((step = Meet(key, true, opened)) != Step::kDone) {
              child = 2 * entry;
              break;
            }
          }
          if (comparing) {
            // The first of keys written twice counts, as in libplist.
            if (KeyEquals(opened, request_.key)) {
              found_ = true;
              comparing = false;
              valueIndex_ = value;
            } else {
              verdicts_[key] = kNotTheKey;
            }
          }
        }
        previousKey = key;
        if (value == previous) continue;
        if (fits(verdicts[value]) || fits(Settle(value, depth, read))) {
          previous = value;
          continue;
        }
        step = Meet(value, false, opened);
        if (step != Step::kDone) {
          child = 2 * entry + 1;
          break;
        }
        previous = value;
      }
      if (step == Step::kDone && entry < container.count) {
        step = Step::kNotPropertyList;
        child = 2 * entry;
      }
    }
    if (step == Step::kOpen) ++child;
    frame.nextChild = static_cast<std::uint32_t>(child);
    if (deepest >= kContainer) {
      frame.deepestChild =
          std::max(frame.deepestChild, static_cast<std::uint16_t>(deepest - kContainer));
    }
    return step;
  }

  // How many of `wanted` references, the first `skipped` references after `body`, lie wholly
  // before the offset table. Without a division, which armv7 has no instruction for. Only a bad
  // document has references running into the table; they are found by halving, not counted one by
  // one, because a frame is taken up again after each container it opens and a count at each
  // visit would make the walk of such a document quadratic.
  [[nodiscard]] std::uint64_t ReferencesBeforeTable(std::uint64_t body, std::uint64_t skipped,
                                                    std::uint64_t wanted) const {
    // Counts lie within the document, so these products do not overflow.
    const std::uint64_t stride = refSize_;
    const auto fit = [&](std::uint64_t count) {
      return body + (skipped + count) * stride <= tableOffset_;
    };
    if (fit(wanted)) return wanted;
    std::uint64_t fitting = 0;  // The answer when not even one fits; `wanted` do not.
    std::uint64_t tooMany = wanted;
    while (tooMany - fitting > 1) {
      const std::uint64_t middle = fitting + (tooMany - fitting) / 2;
      (fit(middle) ? fitting : tooMany) = middle;
    }
    return fitting;
  }

  // Settles the object `index`, met for the first time as a child of the container at `depth`,
  // without a frame when that is possible: a scalar, string or empty container by its marker
  // (kQuickObjects), anything else by SettleByChildren. Answers the verdict written, as opening
  // the object would write it, or kUnseen for any other object, which Meet then reads, and opens
  // or refuses. Whether a container fits where it stands is the caller's to ask.
  template <typename ReadReference>
  std::uint16_t Settle(std::uint64_t index, std::size_t depth, ReadReference read) {
    if (verdicts_[index] != kUnseen) return kUnseen;
    const std::uint64_t offset = OffsetOf(index);
    if (offset >= tableOffset_) return kUnseen;
    const std::uint16_t settled = SettleAt(index, offset);
    if (settled != kUnseen) return settled;
    return SettleByChildren(index, offset, data_[offset], depth, read);
  }

  // Settle for an object at `offset` whose `marker` does not tell at once that it is sound: a
  // container of fewer than 15 children (SettleContainer), or any other (SettleUnusual). Apart
  // from Settle, so that the walk's loops stay short.
  template <typename ReadReference>
  [[gnu::noinline]] std::uint16_t SettleByChildren(std::uint64_t index, std::uint64_t offset,
                                                   std::uint8_t marker, std::size_t depth,
                                                   ReadReference read) {
    if (kQuickObjects[marker].smallContainer) {
      return SettleContainer(index, offset, marker, depth, read);
    }
    return SettleUnusual(index, offset);
  }

  // Settle for an object whose marker does not tell at once that it is sound: a scalar or string
  // is read, and a larger container is left to be opened, since one frame costs little beside its
  // many children's checks.
  [[gnu::noinline]] std::uint16_t SettleUnusual(std::uint64_t index, std::uint64_t offset) {
    Object object;
    if (!ObjectAtOffset(offset, object) || object.IsContainer()) return kUnseen;
    return verdicts_[index] = object.kind == ValueKind::kString ? kString : kScalar;
  }

  // Settle for a container whose count is in its `marker`, at `offset`: each of its children must
  // be checked before and fit where it stands, or be a scalar or string its marker alone tells
  // sound, and each of its keys a string. Children settled on the way stay settled, as its walk
  // would settle them, when it cannot be; it is tried once, so its references are read twice at
  // most.
  template <typename ReadReference>
  std::uint16_t SettleContainer(std::uint64_t index, std::uint64_t offset, std::uint8_t marker,
                                std::size_t depth, ReadReference read) {
    const std::size_t level = depth + 1;
    if (level > kMaximumNesting) return kUnseen;
    const bool dictionary = kMarkers[marker >> 4].kind == ValueKind::kDictionary;
    const std::uint64_t count = marker & 0x0F;
    const std::uint64_t stride = refSize_;
    if (offset + 1 + (dictionary ? 2 : 1) * count * stride > tableOffset_) return kUnseen;
    const std::uint64_t objects = objectCount_;
    const unsigned char* const keys = data_ + offset + 1;
    const unsigned char* const values = keys + (dictionary ? count * stride : 0);
    // Never the root, whose keys are compared with the key looked up: any string will do.
    for (std::uint64_t slot = 0; dictionary && slot < count; ++slot) {
      const std::uint64_t key = read(keys, slot);
      if (key >= objects) return kUnseen;
      const std::uint16_t seen = verdicts_[key];
      if (seen != kString && seen != kNotTheKey &&
          (seen != kUnseen || SettleByMarker(key) != kString)) {
        return kUnseen;
      }
    }
    const auto deepestFitting =
        static_cast<std::uint16_t>(kContainer + (kMaximumNesting - level) - kScalar);
    std::uint16_t deepest = kScalar;
    for (std::uint64_t slot = 0; slot < count; ++slot) {
      const std::uint64_t value = read(values, slot);
      if (value >= objects) return kUnseen;
      std::uint16_t seen = verdicts_[value];
      if (seen == kUnseen && (seen = SettleByMarker(value)) == kUnseen) return kUnseen;
      if (static_cast<std::uint16_t>(seen - kScalar) > deepestFitting) return kUnseen;
      deepest = std::max(deepest, seen);
    }
    const auto nested =
        static_cast<std::uint16_t>((deepest >= kContainer ? deepest - kContainer : 0) + 1);
    return verdicts_[index] = kContainer + nested;
  }

  // Settles the object `index`, met for the first time, when its marker alone tells that it is a
  // sound scalar, string or empty container (kQuickObjects), as Meet or its walk would: answers
  // the verdict written, or kUnseen, having written nothing, for any other object. Whether a
  // container fits where it stands is the caller's to ask.
  std::uint16_t SettleByMarker(std::uint64_t index) {
    if (verdicts_[index] != kUnseen) return kUnseen;
    const std::uint64_t offset = OffsetOf(index);
    if (offset >= tableOffset_) return kUnseen;
    return SettleAt(index, offset);
  }

  // SettleByMarker for the object `index`, unseen, whose marker is at `offset` before the table.
  std::uint16_t SettleAt(std::uint64_t index, std::uint64_t offset) {
    const QuickObject quick = kQuickObjects[data_[offset]];
    if (quick.verdict == kUnseen || offset + quick.bodyBytes >= tableOffset_) return kUnseen;
    return verdicts_[index] = quick.verdict;
  }

  // Settles the object `index`, met for the first time as a key, as SettleByMarker does when it
  // is a string, and reads it into `string` for KeyEquals.
  bool SettleString(std::uint64_t index, Object& string) {
    const std::uint64_t offset = OffsetOf(index);
    if (offset >= tableOffset_) return false;
    const std::uint8_t marker = data_[offset];
    const QuickObject& quick = kQuickObjects[marker];
    if (quick.verdict != kString || offset + quick.bodyBytes >= tableOffset_) return false;
    verdicts_[index] = kString;
    string.kind = ValueKind::kString;
    string.body = offset + 1;
    string.count = marker & 0x0F;
    string.unicode = (marker >> 4) == 0x6;
    return true;
  }

  // Meets the object `index` as a child that could not be settled at once (as a key when
  // `isKey`): checks it if it is new, and answers kOpen for a new container, kDone for anything
  // else that may stand there, and why not otherwise.
  Step Meet(std::uint64_t index, bool isKey, Object& met) {
    const std::uint16_t seen = verdicts_[index];
    if (seen == kOnPath) return Step::kRefersToItself;
    // Checked before: a key that is no string, or a container that would nest too deep here.
    if (seen != kUnseen) return isKey ? Step::kNotPropertyList : Step::kNestedTooDeep;
    if (!ObjectAt(index, met)) return Step::kNotPropertyList;
    if (isKey && met.kind != ValueKind::kString) return Step::kNotPropertyList;
    if (met.IsContainer()) {
      openedIndex_ = index;
      return Step::kOpen;
    }
    verdicts_[index] = met.kind == ValueKind::kString ? kString : kScalar;
    return Step::kDone;
  }

  // Opens the container `index` on the path one level down, or answers false when that would
  // nest containers deeper than allowed.
  bool Push(std::uint64_t index, const Object& object, std::size_t& depth) {
    if (depth + 1 > kMaximumNesting) return false;
    UMBRAVISTA_ASSERT(index < objectCount_ && verdicts_[index] == kUnseen);
    verdicts_[index] = kOnPath;
    UMBRAVISTA_ASSERT(object.body < size_ && object.count < size_);
    frames_[depth++] = {static_cast<std::uint32_t>(index),
                        static_cast<std::uint32_t>(object.body),
                        static_cast<std::uint32_t>(object.count),
                        object.kind,
                        0,
                        0};
    return true;
  }

  // The object index in the reference `slot` of `container`, which has been checked.
  [[nodiscard]] std::uint64_t Reference(const Object& container, std::uint64_t slot) const {
    UMBRAVISTA_ASSERT(container.body + (slot + 1) * refSize_ <= tableOffset_);
    return Field(container.body + slot * refSize_, refSize_);
  }

  // A reference or an offset: a number of the width the trailer gives, at `at` before the
  // trailer, which is read in one load when the width is at most eight bytes, as writers make it.
  [[nodiscard]] std::uint64_t Field(std::uint64_t at, std::uint8_t bytes) const {
    if (bytes > 8) return Number(at, bytes);
    // The trailer's 32 bytes follow every reference and every offset.
    UMBRAVISTA_ASSERT(at + 8 <= size_);
    return BigEndianWord(data_ + at) >> (64 - 8 * bytes);
  }

  // The two bytes at `at` as one big-endian number (a reference or a UTF-16 unit), in one load.
  static std::uint32_t BigEndianPair(const unsigned char* at) {
    std::uint16_t unit = 0;
    std::memcpy(&unit, at, sizeof unit);
    if constexpr (std::endian::native == std::endian::little) unit = __builtin_bswap16(unit);
    return unit;
  }

  // Eight bytes at `at` as one big-endian number.
  static std::uint64_t BigEndianWord(const unsigned char* at) {
    std::uint64_t value = 0;
    std::memcpy(&value, at, sizeof value);
    if constexpr (std::endian::native == std::endian::little) value = __builtin_bswap64(value);
    return value;
  }

  // Reads the object `index` names. Answers false for an object libplist refuses.
  bool ObjectAt(std::uint64_t index, Object& object) const {
    return ObjectAtOffset(OffsetOf(index), object);
  }

  // Where the object `index` starts, as the offset table says.
  [[nodiscard]] std::uint64_t OffsetOf(std::uint64_t index) const {
    UMBRAVISTA_ASSERT(index < objectCount_);
    // The trailer's 32 bytes follow every offset, and an offset's last eight bytes are its own.
    UMBRAVISTA_ASSERT(offsets_ + index * offsetSize_ + 8 <= data_ + size_);
    return BigEndianWord(offsets_ + index * offsetSize_) >> offsetShift_;
  }

  // Reads the object at `offset`. Answers false for an object libplist refuses.
  bool ObjectAtOffset(std::uint64_t offset, Object& object) const {
    if (offset >= tableOffset_) return false;
    const std::uint8_t marker = data_[offset];
    const MarkerRow& row = kMarkers[marker >> 4];
    std::uint64_t size = marker & 0x0F;
    std::uint64_t at = offset + 1;
    if (size == kSizeFollows && row.sizeMayFollow) {
      const std::uint8_t sizeMarker = data_[at];
      if ((sizeMarker & 0xF0) != kIntegerMarker) return false;
      ++at;
      const std::uint64_t sizeBytes = std::uint64_t{1} << (sizeMarker & 0x0F);
      if (at + sizeBytes > tableOffset_) return false;
      size = Number(at, sizeBytes);
      at += sizeBytes;
    }
    object = Object{};
    object.kind = row.kind;
    object.body = at;
    const std::uint64_t room = tableOffset_ - at;
    switch (row.body) {
      case Body::kRefused:
        return false;
      case Body::kSimple:
        object.boolean = size == 0x9;
        return size == 0x8 || size == 0x9;
      case Body::kInteger: {
        const std::uint64_t bytes = std::uint64_t{1} << size;
        if (size > 4 || bytes > room) return false;
        object.integer = Number(at, bytes);
        return true;
      }
      case Body::kReal:
        return ReadReal(std::uint64_t{1} << size, room, object);
      case Body::kDate:
        return size == 3 && room >= 8;
      case Body::kBytes:
        object.count = size;
        return size <= room;
      case Body::kUtf16:
        // libplist cannot turn empty UTF-16 text into a string, and refuses it.
        object.count = size;
        object.unicode = true;
        return size > 0 && size <= room / 2;
      case Body::kUid:
        return size + 1 <= room &&
               Number(at, size + 1) <= std::numeric_limits<std::uint32_t>::max();
      case Body::kReferences:
      case Body::kPairs:
        object.count = size;
        return size <= room;
    }
    return false;
  }

  bool ReadReal(std::uint64_t bytes, std::uint64_t room, Object& object) const {
    if (bytes > room || (bytes != 4 && bytes != 8)) return false;
    const std::uint64_t bits = Number(object.body, bytes);
    if (bytes == 4) {
      float single = 0;
      const auto narrow = static_cast<std::uint32_t>(bits);
      std::memcpy(&single, &narrow, sizeof single);
      object.real = single;
    } else {
      std::memcpy(&object.real, &bits, sizeof object.real);
    }
    return true;
  }

  // An unsigned number of `bytes` big-endian bytes at `at`; of more than eight, the last eight.
  [[nodiscard]] std::uint64_t Number(std::uint64_t at, std::uint64_t bytes) const {
    UMBRAVISTA_ASSERT(bytes >= 1 && at + bytes <= size_);
    if (bytes > 8) {
      at += bytes - 8;
      bytes = 8;
    }
    std::uint64_t value = 0;
    if (at + 8 <= size_) {
      // One load for any width: every reference and offset has the trailer's bytes after it.
      std::memcpy(&value, data_ + at, sizeof value);
      if constexpr (std::endian::native == std::endian::little) value = __builtin_bswap64(value);
      return value >> (64 - 8 * bytes);
    }
    for (std::uint64_t i = 0; i < bytes; ++i) value = (value << 8) | data_[at + i];
    return value;
  }

  // A string object's text: ASCII as it stands, UTF-16 made UTF-8 at `out`.
  std::string_view Text(const Object& string, char* out) const {
    const char* text = reinterpret_cast<const char*>(data_ + string.body);
    // A string's count was checked against the bytes left in the file, so it fits a size_t.
    if (!string.unicode) return {text, static_cast<std::size_t>(string.count)};
    char* end = out;
    ForEachUtf16CodePoint(data_ + string.body, string.count, [&end](std::uint32_t codePoint) {
      end = WriteUtf8(codePoint, end);
      return true;
    });
    return {out, static_cast<std::size_t>(end - out)};
  }

  // A string object's text, shortened to what decides its truth (Decoding::kTruth): of UTF-16
  // text, only the sign, one zero for its run of zeros, and the character that decides are made
  // UTF-8, so that a switch padded with a million spaces or zeros costs a test per unit, not its
  // writing out.
  std::string_view TruthText(const Object& string, char* out) const {
    if (!string.unicode) return Text(string, out);
    const unsigned char* units = data_ + string.body;
    const unsigned char* const unitsEnd = units + 2 * string.count;
    // White space is no surrogate, so passing over it leaves no surrogate waiting.
    while (units < unitsEnd && IsWhiteSpaceBeforeNumber(BigEndianPair(units))) units += 2;
    // The rest, character by character as StringTruthValue reads it: more white space (where a
    // surrogate was dropped), one sign, zeros, and the character that decides.
    enum class Reached : std::uint8_t { kSpace, kSign, kZero } reached = Reached::kSpace;
    char* end = out;
    const auto left = static_cast<std::size_t>(unitsEnd - units) / 2;
    ForEachUtf16CodePoint(units, left, [&](std::uint32_t c) {
      if (reached == Reached::kSpace && IsWhiteSpaceBeforeNumber(c)) return true;
      if (c == '0') {
        if (reached != Reached::kZero) *end++ = '0';
        reached = Reached::kZero;
        return true;
      }
      if (reached == Reached::kSpace && (c == '+' || c == '-')) {
        *end++ = static_cast<char>(c);
        reached = Reached::kSign;
        return true;
      }
      end = WriteUtf8(c, end);
      return false;
    });
    return {out, static_cast<std::size_t>(end - out)};
  }

  // Whether `string` holds `key`, compared without writing the string out.
  [[nodiscard]] bool KeyEquals(const Object& string, std::string_view key) const {
    UMBRAVISTA_ASSERT(string.kind == ValueKind::kString);
    if (!string.unicode) {
      if (string.count != key.size()) return false;
      // A short key in one step: the trailer follows every string, so a word can be read.
      if (key.size() <= kWordBytes) {
        return (LoadWord(reinterpret_cast<const char*>(data_ + string.body)) &
                LowBytes(key.size())) == keyWord_;
      }
      return std::memcmp(data_ + string.body, key.data(), key.size()) == 0;
    }
    return Utf16KeyEquals(string, key);
  }

  // KeyEquals for UTF-16 text, apart so that the comparison of ASCII keys stays short.
  [[nodiscard, gnu::noinline]] bool Utf16KeyEquals(const Object& string,
                                                   std::string_view key) const {
    if (Utf8BytesAtMost(string.count) < key.size()) return false;
    // The ASCII that a key starts with, as most keys are wholly, compared unit by unit: an ASCII
    // unit is its own byte, and leaves no surrogate waiting.
    const unsigned char* units = data_ + string.body;
    std::size_t matched = 0;
    for (; matched < string.count && units[2 * matched] == 0 && units[2 * matched + 1] < 0x80;
         ++matched) {
      if (matched == key.size() ||
          units[2 * matched + 1] != static_cast<unsigned char>(key[matched]))
        return false;
    }
    if (matched == string.count) return matched == key.size();
    // The unit that ended the ASCII, when no surrogate, is a character of its own, written from
    // a byte of 0xC2 up: where the key goes on in ASCII or has ended, the two differ. A surrogate
    // may be dropped, and leave the key's ASCII to match on.
    const auto unit = static_cast<std::uint32_t>(units[2 * matched] << 8 | units[2 * matched + 1]);
    if ((unit < 0xD800 || unit > 0xDFFF) &&
        (matched == key.size() || static_cast<unsigned char>(key[matched]) < 0x80)) {
      return false;
    }
    const bool same =
        ForEachUtf16CodePoint(units + 2 * matched, string.count - matched, [&](std::uint32_t c) {
          // Byte by byte, and ASCII without writing it: a key is a few characters long.
          if (c < 0x80) {
            if (matched == key.size() || static_cast<unsigned char>(key[matched]) != c)
              return false;
            ++matched;
            return true;
          }
          std::array<char, kLongestUtf8> bytes{};
          const auto length = static_cast<std::size_t>(WriteUtf8(c, bytes.data()) - bytes.data());
          if (key.size() - matched < length) return false;
          for (std::size_t i = 0; i < length; ++i) {
            if (key[matched + i] != bytes[i]) return false;
          }
          matched += length;
          return true;
        });
    return same && matched == key.size();
  }

  // The value of the object `index`, its text written from `out` on when it must be decoded;
  // answers where the next text may go in `next`.
  SettingsValue Decode(std::uint64_t index, Decoding decoding, char* out,
                       char** next = nullptr) const {
    Object object;
    [[maybe_unused]] const bool sound = ObjectAt(index, object);
    UMBRAVISTA_ASSERT(sound);
    SettingsValue value;
    value.kind = object.kind;
    if (decoding != Decoding::kKind) {
      value.boolean = object.boolean;
      value.integer = object.integer;
      value.real = object.real;
      if (object.kind == ValueKind::kString) {
        value.text = decoding == Decoding::kTruth ? TruthText(object, out) : Text(object, out);
      }
    }
    if (next != nullptr) *next = object.unicode ? out + value.text.size() : out;
    return value;
  }

  // Hands each entry of the sound root dictionary to `visitor`, its key and value decoded side by
  // side from `text` on, which holds them both while the visitor looks.
  void VisitRoot(RootEntryVisitor& visitor, char* text) const {
    Object root;
    [[maybe_unused]] const bool sound = ObjectAt(root_, root);
    UMBRAVISTA_ASSERT(sound);
    for (std::uint64_t entry = 0; entry < root.count; ++entry) {
      char* valueText = text;
      const SettingsValue key = Decode(Reference(root, entry), Decoding::kValue, text, &valueText);
      visitor.Visit(key.text,
                    Decode(Reference(root, root.count + entry), Decoding::kValue, valueText));
    }
  }

  const unsigned char* data_;
  std::size_t size_;
  std::span<std::byte> work_;
  const ReadRequest& request_;
  // The key looked up as one number (see ShortWord), when it is one word long or shorter.
  static constexpr std::size_t kWordBytes = 8;
  std::uint64_t keyWord_;
  std::uint8_t offsetSize_ = 0;
  std::uint8_t refSize_ = 0;
  std::uint64_t objectCount_ = 0;
  std::uint64_t root_ = 0;
  std::uint64_t tableOffset_ = 0;
  // The offset table (from the last eight bytes of its first offset, when offsets are wider than
  // a word), and how far a word read there is shifted to leave the offset alone.
  const unsigned char* offsets_ = nullptr;
  unsigned offsetShift_ = 0;
  ValueKind rootKind_ = ValueKind::kDictionary;
  std::uint16_t* verdicts_ = nullptr;
  bool found_ = false;
  std::uint64_t valueIndex_ = 0;
  std::uint64_t openedIndex_ = 0;  // The container that the last step opened.
  // Left unset: every frame is written when its container opens.
  std::array<Frame, kMaximumNesting> frames_;
};

}  // namespace

SettingsLookup ReadBinary(std::span<const char> document, std::span<std::byte> work,
                          const ReadRequest& request) {
  return BinaryReader(document, work, request).Read();
}

}  // namespace umbravista::property_list
