#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#include "propertylist/PropertyListForms.h"
#include "propertylist/Utf16Text.h"

// The binary form: a header, objects, a table of their offsets and a trailer that names the root
// object. libplist expands it into a tree from the root, checking each object every time a
// reference leads to it; here every object reachable from the root is checked once, in a walk
// that keeps its path of open containers in a fixed array and its verdict per object in the work
// area, so that time and memory stay linear in the file whatever its references do. An object met
// again on the path is a cycle, which libplist refuses too.
namespace umbravista::property_list {
namespace {

constexpr std::size_t kHeaderBytes = 8;    // "bplist00".
constexpr std::size_t kTrailerBytes = 32;  // Sizes, object count, root and table offset.

// Object markers: the high four bits say the type, the low four a size or a value.
enum Marker : std::uint8_t {
  kSimple = 0x00,  // 0x08 false, 0x09 true; anything else is refused, as libplist refuses null.
  kInteger = 0x10,
  kReal = 0x20,
  kDate = 0x30,
  kData = 0x40,
  kAsciiString = 0x50,
  kUnicodeString = 0x60,
  kUid = 0x80,
  kArray = 0xA0,
  kSet = 0xC0,
  kDictionary = 0xD0,
};

constexpr std::uint8_t kSizeFollows = 0x0F;

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
  // Children in the order libplist reads them: for a dictionary key, value, key, value.
  [[nodiscard]] std::uint64_t Children() const {
    return kind == ValueKind::kDictionary ? 2 * count : count;
  }
};

// One open container on the walk's path.
struct Frame {
  std::uint32_t index;         // The container's object.
  std::uint32_t nextChild;     // How many of its children have been seen.
  std::uint16_t deepestChild;  // The most containers nested under one of its children so far.
};

// An object's verdict in the work area: not yet met, open on the path, or checked, with the most
// containers nested in it (itself included) after kChecked.
enum : std::uint16_t { kUnseen = 0, kOnPath = 1, kChecked = 2 };

class BinaryReader {
 public:
  BinaryReader(std::span<const char> document, std::span<std::byte> work)
      : data_(reinterpret_cast<const unsigned char*>(document.data())),
        size_(document.size()),
        work_(work) {}

  SettingsLookup Read(std::string_view key, RootEntryVisitor* visitor) {
    SettingsLookup answer;
    if (!ReadTrailer()) return answer;
    answer.verdict = CheckObjects();
    if (answer.verdict != Verdict::kSettings) return answer;
    Object root;
    ObjectAt(root_, root);
    answer.rootKind = root.kind;
    if (root.kind != ValueKind::kDictionary) {
      answer.verdict = Verdict::kRootNotDictionary;
      return answer;
    }
    for (std::uint64_t entry = 0; entry < root.count; ++entry) {
      Object entryKey;
      ObjectAt(Reference(root.body + entry * refSize_), entryKey);
      const std::uint64_t valueIndex = Reference(root.body + (root.count + entry) * refSize_);
      if (visitor != nullptr) {
        char* out = WorkText();
        const std::string_view keyText = Text(entryKey, out);
        visitor->Visit(keyText, Decode(valueIndex, out + keyText.size()));
      } else if (KeyEquals(entryKey, key)) {
        answer.value = Decode(valueIndex, WorkText());
        break;
      }
    }
    return answer;
  }

 private:
  bool ReadTrailer() {
    if (size_ < kHeaderBytes + kTrailerBytes) return false;
    const std::size_t trailer = size_ - kTrailerBytes;
    offsetSize_ = data_[trailer + 6];
    refSize_ = data_[trailer + 7];
    objectCount_ = BigEndian(trailer + 8, 8);
    root_ = BigEndian(trailer + 16, 8);
    tableOffset_ = BigEndian(trailer + 24, 8);
    if (objectCount_ == 0 || offsetSize_ == 0 || refSize_ == 0 || root_ >= objectCount_) {
      return false;
    }
    if (tableOffset_ < kHeaderBytes || tableOffset_ >= trailer) return false;
    std::uint64_t tableBytes = 0;
    if (__builtin_mul_overflow(objectCount_, std::uint64_t{offsetSize_}, &tableBytes)) return false;
    if (tableBytes > trailer - tableOffset_) return false;
    // The verdicts take two bytes per object; the table alone is at least one byte per object.
    return work_.size() >= WorkBytesFor(size_) &&
           reinterpret_cast<std::uintptr_t>(work_.data()) % alignof(std::uint16_t) == 0;
  }

  // Walks every object reachable from the root once, as libplist's expansion would meet them.
  Verdict CheckObjects() {
    auto* verdicts = reinterpret_cast<std::uint16_t*>(work_.data());
    std::memset(verdicts, 0, objectCount_ * sizeof(std::uint16_t));
    Object object;
    if (!ObjectAt(root_, object)) return Verdict::kNotPropertyList;
    if (!object.IsContainer()) return Verdict::kSettings;
    std::size_t depth = 0;
    frames_[depth++] = {static_cast<std::uint32_t>(root_), 0, 0};
    verdicts[root_] = kOnPath;
    // `object` is always the container of the innermost frame.
    while (depth > 0) {
      Frame& frame = frames_[depth - 1];
      if (frame.nextChild == object.Children()) {
        const auto nested = static_cast<std::uint16_t>(frame.deepestChild + 1);
        verdicts[frame.index] = kChecked + nested;
        --depth;
        if (depth > 0) {
          Frame& parent = frames_[depth - 1];
          if (nested > parent.deepestChild) parent.deepestChild = nested;
          ObjectAt(parent.index, object);
        }
        continue;
      }
      const std::uint32_t child = frame.nextChild++;
      std::uint64_t childIndex = 0;
      const bool isKey = object.kind == ValueKind::kDictionary && child % 2 == 0;
      if (!ChildIndex(object, child, childIndex)) return Verdict::kNotPropertyList;
      const std::uint16_t seen = verdicts[childIndex];
      if (seen == kOnPath) return Verdict::kRefersToItself;
      Object met;
      if (seen == kUnseen) {
        if (!ObjectAt(childIndex, met)) return Verdict::kNotPropertyList;
      } else {
        ObjectAt(childIndex, met);
      }
      if (isKey && met.kind != ValueKind::kString) return Verdict::kNotPropertyList;
      if (!met.IsContainer()) {
        verdicts[childIndex] = kChecked;
        continue;
      }
      if (seen != kUnseen) {
        // Checked already, reached by another path: only the depth through here is new.
        const auto nested = static_cast<std::uint16_t>(seen - kChecked);
        if (depth + nested > kMaximumNesting) return Verdict::kNestedTooDeep;
        if (nested > frame.deepestChild) frame.deepestChild = nested;
        continue;
      }
      if (depth + 1 > kMaximumNesting) return Verdict::kNestedTooDeep;
      verdicts[childIndex] = kOnPath;
      frames_[depth++] = {static_cast<std::uint32_t>(childIndex), 0, 0};
      object = met;
    }
    return Verdict::kSettings;
  }

  // The object index of a container's child, after the checks libplist makes: the reference lies
  // before the offset table (for a dictionary, both the key's and the value's) and names an
  // object that exists.
  bool ChildIndex(const Object& container, std::uint32_t child, std::uint64_t& index) const {
    std::uint64_t slot = child;
    if (container.kind == ValueKind::kDictionary) {
      const std::uint64_t entry = child / 2;
      if (child % 2 == 0) {
        const std::uint64_t valueSlot = container.count + entry;
        if (!ReferenceFits(container, valueSlot) ||
            Reference(container.body + valueSlot * refSize_) >= objectCount_) {
          return false;
        }
        slot = entry;
      } else {
        slot = container.count + entry;
      }
    }
    if (!ReferenceFits(container, slot)) return false;
    index = Reference(container.body + slot * refSize_);
    return index < objectCount_;
  }

  [[nodiscard]] bool ReferenceFits(const Object& container, std::uint64_t slot) const {
    return container.body + (slot + 1) * refSize_ <= tableOffset_;
  }

  [[nodiscard]] std::uint64_t Reference(std::uint64_t at) const { return BigEndian(at, refSize_); }

  // Reads the object `index` names. Answers false for an object libplist refuses.
  bool ObjectAt(std::uint64_t index, Object& object) const {
    const std::uint64_t offset = BigEndian(tableOffset_ + index * offsetSize_, offsetSize_);
    if (offset >= tableOffset_) return false;
    const std::uint8_t marker = data_[offset];
    const auto type = static_cast<std::uint8_t>(marker & 0xF0);
    std::uint64_t size = marker & 0x0F;
    std::uint64_t at = offset + 1;
    if (size == kSizeFollows && SizeMayFollow(type)) {
      const std::uint8_t sizeMarker = data_[at];
      if ((sizeMarker & 0xF0) != kInteger) return false;
      ++at;
      const std::uint64_t sizeBytes = std::uint64_t{1} << (sizeMarker & 0x0F);
      if (at + sizeBytes > tableOffset_) return false;
      size = BigEndian(at, sizeBytes);
      at += sizeBytes;
    }
    object = Object{};
    object.body = at;
    const std::uint64_t room = tableOffset_ - at;
    switch (type) {
      case kSimple:
        if (size != 0x8 && size != 0x9) return false;
        object.kind = ValueKind::kBoolean;
        object.boolean = size == 0x9;
        return true;
      case kInteger:
        return ReadInteger(size, room, object);
      case kReal:
        return ReadReal(size, room, object);
      case kDate:
        object.kind = ValueKind::kDate;
        return size == 3 && room >= 8;
      case kData:
        object.kind = ValueKind::kData;
        return size <= room;
      case kAsciiString:
        object.kind = ValueKind::kString;
        object.count = size;
        return size <= room;
      case kUnicodeString:
        // libplist cannot turn empty UTF-16 text into a string, and refuses it.
        object.kind = ValueKind::kString;
        object.unicode = true;
        object.count = size;
        return size > 0 && size <= room / 2;
      case kUid:
        return ReadUid(size, room, object);
      case kArray:
      case kSet:
        object.kind = ValueKind::kArray;
        object.count = size;
        return size <= room;
      case kDictionary:
        object.kind = ValueKind::kDictionary;
        object.count = size;
        return size <= room;
      default:
        return false;
    }
  }

  static bool SizeMayFollow(std::uint8_t type) {
    return type == kData || type == kAsciiString || type == kUnicodeString || type == kArray ||
           type == kSet || type == kDictionary;
  }

  // 1, 2, 4 or 8 bytes, or 16 of which the low 64 bits are kept.
  bool ReadInteger(std::uint64_t sizeCode, std::uint64_t room, Object& object) const {
    const std::uint64_t bytes = std::uint64_t{1} << sizeCode;
    if (bytes > room || sizeCode > 4) return false;
    object.kind = ValueKind::kInteger;
    object.integer = BigEndian(object.body, bytes);
    return true;
  }

  bool ReadReal(std::uint64_t sizeCode, std::uint64_t room, Object& object) const {
    const std::uint64_t bytes = std::uint64_t{1} << sizeCode;
    if (bytes > room || (bytes != 4 && bytes != 8)) return false;
    object.kind = ValueKind::kReal;
    const std::uint64_t bits = BigEndian(object.body, bytes);
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

  // One to sixteen bytes; a value past 32 bits is refused.
  bool ReadUid(std::uint64_t sizeCode, std::uint64_t room, Object& object) const {
    const std::uint64_t bytes = sizeCode + 1;
    if (bytes > room) return false;
    object.kind = ValueKind::kUid;
    return BigEndian(object.body, bytes) <= std::numeric_limits<std::uint32_t>::max();
  }

  // An unsigned number of `bytes` big-endian bytes at `at`; of more than eight, the last eight.
  [[nodiscard]] std::uint64_t BigEndian(std::uint64_t at, std::uint64_t bytes) const {
    const unsigned char* from = data_ + at;
    switch (bytes) {
      case 1:
        return from[0];
      case 2:
        return static_cast<std::uint64_t>(from[0]) << 8 | from[1];
      default:
        break;
    }
    if (bytes > 8) {
      from += bytes - 8;
      bytes = 8;
    }
    std::uint64_t value = 0;
    for (std::uint64_t i = 0; i < bytes; ++i) value = (value << 8) | from[i];
    return value;
  }

  [[nodiscard]] char* WorkText() const { return reinterpret_cast<char*>(work_.data()); }

  // A string object's text: ASCII as it stands, UTF-16 made UTF-8 at `out`.
  std::string_view Text(const Object& string, char* out) const {
    const char* text = reinterpret_cast<const char*>(data_ + string.body);
    // A string's count was checked against the bytes left in the file, so it fits a size_t.
    if (!string.unicode) return {text, static_cast<std::size_t>(string.count)};
    char* end = out;
    ForEachUtf8Byte(data_ + string.body, string.count, [&](unsigned char byte) {
      *end++ = static_cast<char>(byte);
      return true;
    });
    return {out, static_cast<std::size_t>(end - out)};
  }

  [[nodiscard]] bool KeyEquals(const Object& string, std::string_view key) const {
    if (!string.unicode) {
      return std::string_view(reinterpret_cast<const char*>(data_ + string.body), string.count) ==
             key;
    }
    std::size_t matched = 0;
    const bool fits = ForEachUtf8Byte(data_ + string.body, string.count, [&](unsigned char byte) {
      if (matched == key.size() || static_cast<unsigned char>(key[matched]) != byte) return false;
      ++matched;
      return true;
    });
    return fits && matched == key.size();
  }

  SettingsValue Decode(std::uint64_t index, char* out) const {
    Object object;
    ObjectAt(index, object);
    SettingsValue value;
    value.kind = object.kind;
    value.boolean = object.boolean;
    value.integer = object.integer;
    value.real = object.real;
    if (object.kind == ValueKind::kString) value.text = Text(object, out);
    return value;
  }

  const unsigned char* data_;
  std::size_t size_;
  std::span<std::byte> work_;
  std::uint8_t offsetSize_ = 0;
  std::uint8_t refSize_ = 0;
  std::uint64_t objectCount_ = 0;
  std::uint64_t root_ = 0;
  std::uint64_t tableOffset_ = 0;
  // Left unset: every frame is written when its container opens.
  std::array<Frame, kMaximumNesting> frames_;
};

}  // namespace

SettingsLookup ReadBinary(std::span<const char> document, std::span<std::byte> work,
                          std::string_view key, RootEntryVisitor* visitor) {
  return BinaryReader(document, work).Read(key, visitor);
}

}  // namespace umbravista::property_list
