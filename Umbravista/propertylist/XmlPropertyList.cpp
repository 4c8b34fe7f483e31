#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include "propertylist/PropertyListForms.h"
#include "propertylist/XmlText.h"

// The XML form, read in one pass from start to end, element by element, the way libplist's parser
// walks it, but keeping only the path of open containers instead of a tree. libplist's parser is
// lenient and has quirks that decide which documents it refuses; they are followed here, since a
// document must read as settings here exactly when it does there:
// - No "<plist>" is needed, and "<?...?>", "<!--...-->" and "<!DOCTYPE...>" may stand anywhere
//   between elements.
// - The first element is the root. A root that is no container ends the document there; so does
//   the end tag of the root container, and so does a "<plist>" outside every open element once
//   there is a root: what follows is not read.
// - An empty root container ("<dict/>") stays the parent of what follows it.
// - "<key>" names the next value only inside a dictionary and when no key is waiting; otherwise it
//   is a string value. "<key/>" is always an empty string value.
// - A key is dropped when a container ends, or another container starts, before its value.
namespace umbravista::property_list {
namespace {

constexpr bool IsXmlSpace(char character) {
  return character == ' ' || character == '\t' || character == '\r' || character == '\n';
}

// A set of bytes, looked up in one step while scanning.
class ByteSet {
 public:
  consteval explicit ByteSet(std::string_view members) {
    for (const char member : members) members_[static_cast<unsigned char>(member)] = true;
  }
  [[nodiscard]] constexpr bool Contains(char byte) const {
    return members_[static_cast<unsigned char>(byte)];
  }

 private:
  std::array<bool, 256> members_{};
};

constexpr ByteSet kTagNameEnds(" \r\n\t<>");
constexpr ByteSet kTagEnds("<>");
constexpr ByteSet kDoctypeStops(" \t\r\n[>");
// What plain text is scanned for: the next markup, and what makes the text not its own value.
constexpr ByteSet kTextStops(std::string_view("<&\0", 3));

enum class Element : std::uint8_t {
  kPlist,
  kPlistEnd,
  kDictionary,
  kArray,
  kInteger,
  kReal,
  kTrue,
  kFalse,
  kString,
  kKey,
  kData,
  kDate,
  kEndTag,   // Any other name starting with "/".
  kUnknown,  // Any other name.
};

struct ElementName {
  std::string_view name;
  Element element;
};

// In the order of how often a settings file holds them, since every element is looked up here.
constexpr ElementName kElementNames[] = {
    {"key", Element::kKey},         {"string", Element::kString},   {"true", Element::kTrue},
    {"false", Element::kFalse},     {"dict", Element::kDictionary}, {"plist", Element::kPlist},
    {"/plist", Element::kPlistEnd}, {"array", Element::kArray},     {"integer", Element::kInteger},
    {"real", Element::kReal},       {"data", Element::kData},       {"date", Element::kDate},
};

// Short names compared byte by byte: this runs for every element of every read.
constexpr bool SameName(std::string_view first, std::string_view second) {
  if (first.size() != second.size()) return false;
  for (std::size_t i = 0; i < first.size(); ++i) {
    if (first[i] != second[i]) return false;
  }
  return true;
}

Element ElementNamed(std::string_view name) {
  for (const ElementName& entry : kElementNames) {
    if (SameName(entry.name, name)) return entry.element;
  }
  return name.starts_with('/') ? Element::kEndTag : Element::kUnknown;
}

// An opening or closing tag as libplist takes it apart.
struct Tag {
  const char* written = nullptr;  // The name as written, right after "<".
  std::size_t writtenLength = 0;  // Up to the first space, "<" or ">".
  // The name as compared: the written name cut at a "/" that closes an empty element and at its
  // first NUL byte.
  std::string_view name;
  bool empty = false;  // Written "<name/>".
};

// An element's content, between its start tag and the "<" of its end tag.
struct Content {
  char* begin = nullptr;
  char* end = nullptr;
  bool present = false;  // Holds a comment, a CDATA section or some text.
  bool plain = true;     // One run of text with no markup, no "&" and no NUL: it is its own value.
};

struct ValueInfo {
  ValueKind kind = ValueKind::kString;
  Content content;
  bool empty = false;
  bool boolean = false;
};

// A container on the path of open elements, with the "<plist>" tags opened inside it since.
struct Frame {
  bool dictionary;
  std::uint32_t plistsAbove;
};

class XmlReader {
 public:
  XmlReader(std::span<char> document, std::string_view key, RootEntryVisitor* visitor)
      : pos_(document.data()),
        end_(document.data() + document.size()),
        key_(key),
        visitor_(visitor) {}

  SettingsLookup Read() {
    ReadElements();
    SettingsLookup answer;
    if (failed_) {
      answer.verdict = tooDeep_ ? Verdict::kNestedTooDeep : Verdict::kNotPropertyList;
      return answer;
    }
    if (!hasRoot_) return answer;
    answer.rootKind = rootKind_;
    if (rootKind_ != ValueKind::kDictionary) {
      answer.verdict = Verdict::kRootNotDictionary;
      return answer;
    }
    answer.verdict = Verdict::kSettings;
    if (hasMatch_) answer.value = Decode(match_);
    return answer;
  }

 private:
  // Reads until the document ends, is refused, or its root is complete.
  void ReadElements() {
    while (pos_ < end_) {
      SkipSpace();
      if (pos_ >= end_) break;
      if (*pos_ != '<' || ++pos_ >= end_) return Fail();
      if (*pos_ == '?') {
        if (!SkipProcessingInstruction()) return Fail();
      } else if (*pos_ == '!') {
        if (!SkipDeclaration()) return Fail();
      } else {
        Tag tag;
        if (!ReadTag(tag)) return Fail();
        if (!HandleElement(tag)) return;
      }
    }
    if (!PathEmpty()) Fail();
  }

  // Handles one element from its tag on. Answers false when reading stops here, refused or done.
  bool HandleElement(const Tag& tag) {
    const Element element = ElementNamed(tag.name);
    if (element == Element::kPlist) {
      hasContent_ = false;
      if (PathEmpty() && hasRoot_) return false;
      if (tag.empty) return Fail(), false;
      PushPlist();
      return true;
    }
    if (element == Element::kPlistEnd) {
      if (!hasContent_ || !TopIsPlist()) return Fail(), false;
      PopPlist();
      return true;
    }
    hasContent_ = true;
    if (element == Element::kEndTag) return HandleEndTag(tag);

    ValueInfo value;
    value.empty = tag.empty;
    switch (element) {
      case Element::kDictionary:
        value.kind = ValueKind::kDictionary;
        break;
      case Element::kArray:
        value.kind = ValueKind::kArray;
        break;
      case Element::kInteger:
      case Element::kReal:
      case Element::kData:
      case Element::kDate:
        value.kind = KindOf(element);
        if (!tag.empty && !ReadContent(tag, true, false, value.content)) return Fail(), false;
        break;
      case Element::kTrue:
      case Element::kFalse:
        value.kind = ValueKind::kBoolean;
        value.boolean = element == Element::kTrue;
        if (!tag.empty && !ReadContent(tag, true, false, value.content)) return Fail(), false;
        break;
      case Element::kString:
      case Element::kKey:
        value.kind = ValueKind::kString;
        if (tag.empty) break;
        if (!ReadContent(tag, false, true, value.content)) return Fail(), false;
        if (element == Element::kKey && !keyWaiting_ && hasRoot_ && ParentIsDictionary()) {
          WaitWithKey(value.content);
          return true;
        }
        break;
      default:
        return Fail(), false;
    }
    const bool goOn = Place(value);
    keyWaiting_ = false;
    return goOn;
  }

  static ValueKind KindOf(Element element) {
    switch (element) {
      case Element::kInteger:
        return ValueKind::kInteger;
      case Element::kReal:
        return ValueKind::kReal;
      case Element::kData:
        return ValueKind::kData;
      default:
        return ValueKind::kDate;
    }
  }

  bool HandleEndTag(const Tag& tag) {
    keyWaiting_ = false;
    if (frameCount_ == 0 || frames_[frameCount_ - 1].plistsAbove > 0) return Fail(), false;
    const std::string_view open = frames_[frameCount_ - 1].dictionary ? "dict" : "array";
    if (tag.name.substr(1) != open) return Fail(), false;
    --frameCount_;
    // Closing the root container completes the document.
    return frameCount_ > 0 || !rootPushed_;
  }

  // Puts a value in its place: the root, or the open container. Answers false when reading stops.
  bool Place(const ValueInfo& value) {
    const bool container = value.kind == ValueKind::kDictionary || value.kind == ValueKind::kArray;
    if (!hasRoot_) {
      hasRoot_ = true;
      rootKind_ = value.kind;
      if (!container) return false;
      rootPushed_ = !value.empty;
      if (rootPushed_) Push(value.kind == ValueKind::kDictionary);
      return true;
    }
    if (ParentIsDictionary()) {
      if (!keyWaiting_) return Fail(), false;
      if (ParentIsRoot()) OnRootEntry(value);
    }
    if (container) {
      if (frameCount_ + (rootPushed_ ? 0 : 1) + 1 > kMaximumNesting) {
        tooDeep_ = true;
        return Fail(), false;
      }
      if (!value.empty) Push(value.kind == ValueKind::kDictionary);
    }
    return true;
  }

  void WaitWithKey(const Content& content) {
    keyWaiting_ = true;
    if (!ParentIsRoot()) return;
    if (visitor_ != nullptr) {
      waitingKey_ = DecodeText(content);
    } else {
      keyMatches_ = DecodeText(content) == key_;
    }
  }

  void OnRootEntry(const ValueInfo& value) {
    if (visitor_ != nullptr) {
      visitor_->Visit(waitingKey_, Decode(value));
    } else if (keyMatches_) {
      match_ = value;
      hasMatch_ = true;
    }
  }

  // --- Tags and content, as libplist scans them.

  bool ReadTag(Tag& tag) {
    char* name = pos_;
    FindAny(kTagNameEnds, false);
    if (pos_ >= end_) return false;
    tag.written = name;
    tag.writtenLength = static_cast<std::size_t>(pos_ - name);
    std::size_t nameLength = tag.writtenLength;
    if (*pos_ != '>') FindAny(kTagEnds, true);
    if (pos_ >= end_ || *pos_ != '>') return false;
    if (pos_[-1] == '/') {
      const auto slash = static_cast<std::size_t>(pos_ - name - 1);
      if (slash < nameLength) nameLength = slash;
      tag.empty = true;
    }
    ++pos_;
    const void* nul = std::memchr(name, '\0', nameLength);
    if (nul != nullptr) nameLength = static_cast<std::size_t>(static_cast<const char*>(nul) - name);
    tag.name = std::string_view(name, nameLength);
    return true;
  }

  // Reads an element's content up to and including its end tag, which must carry the start tag's
  // name. Plain text is checked for sound entities when `checkEntities`.
  bool ReadContent(const Tag& tag, bool skipSpace, bool checkEntities, Content& content) {
    if (skipSpace) SkipSpace();
    content.begin = pos_;
    char* text = pos_;
    char* closing = nullptr;
    bool special = false;  // The text scanned since the last markup holds a "&" or a NUL.
    auto addText = [&](char* begin, char* end) {
      content.present = true;
      if (!special) return true;
      content.plain = false;
      return !checkEntities || EntitiesAreSound(begin, end);
    };
    while (true) {
      special = ScanText();
      if (pos_ >= end_) return false;
      closing = pos_;
      if (++pos_ >= end_) return false;
      if (*pos_ == '/') break;
      if (*pos_ != '!') return false;
      ++pos_;
      if (end_ - pos_ <= 1) return false;
      content.plain = false;
      if (pos_[0] == '-' && pos_[1] == '-') {
        if (!addText(text, closing)) return false;
        pos_ += 2;
        FindText("-->", false);
        if (end_ - pos_ < 3 || !StartsWith("-->")) return false;
        pos_ += 3;
      } else if (*pos_ == '[') {
        ++pos_;
        if (end_ - pos_ <= 8 || !StartsWith("CDATA[")) return false;
        if (closing > text && !addText(text, closing)) return false;
        pos_ += 6;
        FindText("]]>", false);
        if (end_ - pos_ < 3 || !StartsWith("]]>")) return false;
        content.present = true;
        pos_ += 3;
      } else {
        return false;
      }
      text = pos_;
    }
    ++pos_;
    if (end_ - pos_ <= static_cast<std::ptrdiff_t>(tag.writtenLength) || !EndTagNameMatches(tag)) {
      return false;
    }
    pos_ += tag.writtenLength;
    SkipSpace();
    if (pos_ >= end_ || *pos_ != '>') return false;
    ++pos_;
    if (closing > text && !addText(text, closing)) return false;
    content.end = closing;
    return true;
  }

  // libplist compares the end tag's name with strncmp over the start tag's written length, against
  // the name it kept, which is NUL after its compared length.
  [[nodiscard]] bool EndTagNameMatches(const Tag& tag) const {
    if (tag.writtenLength == tag.name.size()) {
      return SameName(std::string_view(pos_, tag.writtenLength), tag.name);
    }
    for (std::size_t i = 0; i < tag.writtenLength; ++i) {
      const char wanted = i < tag.name.size() ? tag.name[i] : '\0';
      if (pos_[i] != wanted) return false;
      if (wanted == '\0') return true;
    }
    return true;
  }

  bool SkipProcessingInstruction() {
    FindText("?>", true);
    if (end_ - pos_ < 2 || !StartsWith("?>")) return false;
    pos_ += 2;
    return true;
  }

  bool SkipDeclaration() {
    if (end_ - pos_ > 3 && StartsWith("!--")) {
      pos_ += 3;
      FindText("-->", false);
      if (end_ - pos_ < 3 || !StartsWith("-->")) return false;
      pos_ += 3;
      return true;
    }
    if (end_ - pos_ > 8 && StartsWith("!DOCTYPE")) {
      pos_ += 8;
      bool embedded = false;
      while (pos_ < end_) {
        FindAny(kDoctypeStops, true);
        if (pos_ >= end_) return false;
        if (*pos_ == '[') {
          embedded = true;
          break;
        }
        if (*pos_ == '>') {
          ++pos_;
          break;
        }
        SkipSpace();
      }
      if (embedded) {
        FindText("]>", true);
        if (end_ - pos_ < 2 || !StartsWith("]>")) return false;
        pos_ += 2;
      }
      return true;
    }
    return false;
  }

  void SkipSpace() {
    while (pos_ < end_ && IsXmlSpace(*pos_)) ++pos_;
  }

  void FindChar(char wanted) {
    void* found = std::memchr(pos_, wanted, static_cast<std::size_t>(end_ - pos_));
    pos_ = found == nullptr ? end_ : static_cast<char*>(found);
  }

  // Moves to the next "<" and answers whether the text passed over holds a "&" or a NUL byte.
  bool ScanText() {
    bool special = false;
    while (pos_ < end_) {
      if (kTextStops.Contains(*pos_)) {
        if (*pos_ == '<') return special;
        special = true;
      }
      ++pos_;
    }
    return special;
  }

  // Moves to the next place that starts with `text`; with `skipQuotes`, text in double quotes is
  // passed over. As libplist, it never looks at the last place where `text` would fit: the caller
  // checks that one.
  void FindText(std::string_view text, bool skipQuotes) {
    if (!skipQuotes) {
      // Only where the first byte stands can the text start: let memchr find those places.
      const char* last = end_ - text.size();  // Never looked at, as below.
      while (pos_ < last) {
        const void* first = std::memchr(pos_, text.front(), static_cast<std::size_t>(last - pos_));
        if (first == nullptr) {
          pos_ = const_cast<char*>(last);
          return;
        }
        pos_ = static_cast<char*>(const_cast<void*>(first));
        if (StartsWith(text)) return;
        ++pos_;
      }
      return;
    }
    while (end_ - pos_ > static_cast<std::ptrdiff_t>(text.size())) {
      if (*pos_ == text.front() && StartsWith(text)) return;
      if (skipQuotes && *pos_ == '"') {
        ++pos_;
        FindChar('"');
        if (pos_ >= end_) return;
      }
      ++pos_;
    }
  }

  // Moves to the next byte of `stops`; with `skipQuotes`, text in double quotes is passed over.
  void FindAny(const ByteSet& stops, bool skipQuotes) {
    while (pos_ < end_) {
      if (skipQuotes && *pos_ == '"') {
        ++pos_;
        FindChar('"');
        if (pos_ >= end_) return;
      }
      if (stops.Contains(*pos_)) return;
      ++pos_;
    }
  }

  [[nodiscard]] bool StartsWith(std::string_view text) const {
    return SameName(std::string_view(pos_, text.size()), text);
  }

  // --- Values.

  static std::string_view DecodeText(const Content& content) {
    if (!content.present) return {};
    if (content.plain)
      return {content.begin, static_cast<std::size_t>(content.end - content.begin)};
    char* end = WriteContent(content.begin, content.end, content.begin, true);
    return {content.begin, static_cast<std::size_t>(end - content.begin)};
  }

  // The content of a number as one C string, where it stands.
  static const char* NumberText(const Content& content) {
    char* end = WriteContent(content.begin, content.end, content.begin, false);
    *end = '\0';  // Over the end tag's "<", which has been read.
    return content.begin;
  }

  static SettingsValue Decode(const ValueInfo& info) {
    SettingsValue value;
    value.kind = info.kind;
    const bool hasText = !info.empty && info.content.present;
    switch (info.kind) {
      case ValueKind::kString:
        if (hasText) value.text = DecodeText(info.content);
        break;
      case ValueKind::kBoolean:
        value.boolean = info.boolean;
        break;
      case ValueKind::kInteger:
        if (hasText) value.integer = IntegerFrom(NumberText(info.content));
        break;
      case ValueKind::kReal:
        if (hasText) value.real = std::strtod(NumberText(info.content), nullptr);
        break;
      default:
        break;
    }
    return value;
  }

  // One sign is taken first and applied to what strtoull makes of the rest, as libplist does.
  static std::uint64_t IntegerFrom(const char* text) {
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    const std::uint64_t magnitude = std::strtoull(text, nullptr, 0);
    return negative ? 0 - magnitude : magnitude;
  }

  // --- The path of open elements.

  [[nodiscard]] bool PathEmpty() const { return frameCount_ == 0 && leadingPlists_ == 0; }

  [[nodiscard]] bool TopIsPlist() const {
    return frameCount_ == 0 ? leadingPlists_ > 0 : frames_[frameCount_ - 1].plistsAbove > 0;
  }

  void PushPlist() {
    if (frameCount_ == 0) {
      ++leadingPlists_;
    } else {
      ++frames_[frameCount_ - 1].plistsAbove;
    }
  }

  void PopPlist() {
    if (frameCount_ == 0) {
      --leadingPlists_;
    } else {
      --frames_[frameCount_ - 1].plistsAbove;
    }
  }

  void Push(bool dictionary) { frames_[frameCount_++] = {dictionary, 0}; }

  // The open container that a value goes into: the innermost open one, or an empty root.
  [[nodiscard]] bool ParentIsDictionary() const {
    return frameCount_ > 0 ? frames_[frameCount_ - 1].dictionary
                           : rootKind_ == ValueKind::kDictionary;
  }

  [[nodiscard]] bool ParentIsRoot() const { return frameCount_ == (rootPushed_ ? 1U : 0U); }

  void Fail() { failed_ = true; }

  char* pos_;
  char* end_;
  std::string_view key_;
  RootEntryVisitor* visitor_;

  bool failed_ = false;
  bool tooDeep_ = false;
  bool hasContent_ = false;
  bool hasRoot_ = false;
  bool rootPushed_ = false;
  ValueKind rootKind_ = ValueKind::kDictionary;

  // Left unset: every frame is written when its container opens, and the reader is made for each
  // read of the settings, where clearing 4 KiB would cost more than the rest of a small file.
  std::array<Frame, kMaximumNesting> frames_;
  std::size_t frameCount_ = 0;
  std::uint32_t leadingPlists_ = 0;

  bool keyWaiting_ = false;
  bool keyMatches_ = false;
  std::string_view waitingKey_;
  bool hasMatch_ = false;
  ValueInfo match_;
};

}  // namespace

SettingsLookup ReadXml(std::span<char> document, std::string_view key, RootEntryVisitor* visitor) {
  if (document.empty()) return {};
  return XmlReader(document, key, visitor).Read();
}

}  // namespace umbravista::property_list
