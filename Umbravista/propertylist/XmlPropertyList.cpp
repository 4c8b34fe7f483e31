#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "propertylist/ByteScan.h"
#include "propertylist/Invariant.h"
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
//
// Text is only scanned on the way, for the markup and entities that decide whether the document
// is sound; it is decoded only where it is asked for: a key of the root, and the value looked up.
namespace umbravista::property_list {
namespace {

constexpr ByteSet kSpace(" \t\r\n");
constexpr ByteSet kTagNameEnds(" \r\n\t<>");
// A NUL byte does not end a tag's name as written, but it cuts the name as compared.
constexpr ByteSet kTagNameEndsAndNul(std::string_view(" \r\n\t<>\0", 7));
constexpr ByteSet kTagEndsAndQuote("<>\"");
constexpr ByteSet kDoctypeStopsAndQuote(" \t\r\n[>\"");

// How an element's content is read.
enum class Reading : std::uint8_t {
  kElements,  // A container's: the elements inside it, each read in turn.
  kText,      // A string's: text, comments and CDATA up to the end tag, entities checked.
  kName,      // A key's: as a string's, and it names the next value when a name is awaited.
  kTrimmed,   // A number's, date's, data's or truth's: space skipped first, entities not checked.
  kWrapper,   // "<plist>"'s: the elements inside it, the first of them the root.
};

// One row per element that libplist knows; any other element refuses the document.
struct ElementRow {
  constexpr ElementRow(std::string_view name, ValueKind kind, Reading reading, bool truth = false)
      : name(name), word(WordOf(name)), kind(kind), reading(reading), truth(truth) {}

  std::string_view name;
  std::uint64_t word;  // The name as compared in one step (see ShortWord).
  ValueKind kind;      // Of the value the element is; a wrapper is none.
  Reading reading;
  bool truth;  // The value of a boolean element.
};

// In the order of how often a settings file holds them, since every element is looked up here.
constexpr ElementRow kElements[] = {
    {"key", ValueKind::kString, Reading::kName},
    {"string", ValueKind::kString, Reading::kText},
    {"true", ValueKind::kBoolean, Reading::kTrimmed, true},
    {"false", ValueKind::kBoolean, Reading::kTrimmed},
    {"dict", ValueKind::kDictionary, Reading::kElements},
    {"plist", ValueKind::kDictionary, Reading::kWrapper},
    {"array", ValueKind::kArray, Reading::kElements},
    {"integer", ValueKind::kInteger, Reading::kTrimmed},
    {"real", ValueKind::kReal, Reading::kTrimmed},
    {"data", ValueKind::kData, Reading::kTrimmed},
    {"date", ValueKind::kDate, Reading::kTrimmed},
};

// Where to look for a name in kElements: its first byte and twice its last tell every element of
// the table apart, so a name is compared with one row at most.
constexpr std::size_t kSlots = 32;
constexpr std::size_t SlotOf(std::string_view name) {
  return (static_cast<unsigned char>(name.front()) + 2U * static_cast<unsigned char>(name.back())) %
         kSlots;
}
constexpr std::uint8_t kNoRow = 0xFF;
constexpr auto kRowInSlot = [] {
  std::array<std::uint8_t, kSlots> rows{};
  rows.fill(kNoRow);
  for (std::size_t row = 0; row < std::size(kElements); ++row) {
    std::uint8_t& slot = rows[SlotOf(kElements[row].name)];
    if (slot != kNoRow) throw "two elements share a slot: choose another SlotOf";
    slot = static_cast<std::uint8_t>(row);
  }
  return rows;
}();

// Every name is compared in one step (see ShortWord).
constexpr std::size_t kLongestName = 8;
static_assert([] {
  for (const ElementRow& row : kElements) {
    if (row.name.size() > kLongestName) return false;
  }
  return true;
}());

// What reading a tag of its usual spelling comes to (see kUsualTags).
enum class Usual : std::uint8_t {
  kKey,    // "<key>": the name of the next value, its text and end tag following.
  kText,   // "<string>": a value, its text and end tag following.
  kEmpty,  // "<true/>": a value, whole.
  kOpen,   // "<dict>": a container opened.
  kClose,  // "</dict>": the innermost container closed.
};

// The tags that nearly every document is made of, written as the platform's writers write them,
// each told by its whole spelling in one comparison: reading them through ReadTag and Place would
// cost several times as much, and comes to the same.
struct UsualTag {
  constexpr UsualTag(std::string_view text, Usual usual, std::size_t row)
      : length(text.size()),
        word(WordOf(text)),
        mask(LowBytes(text.size())),
        usual(usual),
        row(&kElements[row]) {}

  std::size_t length;
  std::uint64_t word;  // The tag as compared in one step (see ShortWord).
  std::uint64_t mask;  // The bytes of `word`.
  Usual usual;
  const ElementRow* row;
};

constexpr std::size_t RowOf(std::string_view name) {
  std::size_t row = 0;
  while (kElements[row].name != name) ++row;
  return row;
}

constexpr UsualTag kUsualTags[] = {
    {"<key>", Usual::kKey, RowOf("key")},      {"<string>", Usual::kText, RowOf("string")},
    {"<true/>", Usual::kEmpty, RowOf("true")}, {"<false/>", Usual::kEmpty, RowOf("false")},
    {"<dict>", Usual::kOpen, RowOf("dict")},   {"</dict>", Usual::kClose, RowOf("dict")},
    {"<array>", Usual::kOpen, RowOf("array")}, {"</array>", Usual::kClose, RowOf("array")},
};

// Where to look for a usual tag: its second and third bytes tell every one apart.
constexpr std::size_t kUsualSlots = 16;
constexpr std::size_t UsualSlotOf(char second, char third) {
  return (static_cast<unsigned char>(second) + 6U * static_cast<unsigned char>(third)) %
         kUsualSlots;
}
constexpr auto kUsualInSlot = [] {
  std::array<std::uint8_t, kUsualSlots> tags{};
  tags.fill(kNoRow);
  for (std::size_t index = 0; index < std::size(kUsualTags); ++index) {
    const std::uint64_t word = kUsualTags[index].word;
    std::uint8_t& slot =
        tags[UsualSlotOf(static_cast<char>(word >> 8), static_cast<char>(word >> 16))];
    if (slot != kNoRow) throw "two usual tags share a slot: choose another UsualSlotOf";
    slot = static_cast<std::uint8_t>(index);
  }
  return tags;
}();

// An opening or closing tag as libplist takes it apart.
struct Tag {
  std::size_t writtenLength = 0;  // The name as written, up to the first space, "<" or ">".
  // The name as compared: the written name cut at a "/" that closes an empty element and at its
  // first NUL byte.
  std::string_view name;
  bool empty = false;  // Written "<name/>".
  // The name after any leading "/" as one number (see ShortWord), when the tag was read in one
  // step; zero otherwise.
  std::uint64_t word = 0;
};

// An element's content, between its start tag and the "<" of its end tag.
struct Content {
  char* begin = nullptr;
  char* end = nullptr;
  bool present = false;  // Holds a comment, a CDATA section or some text.
  bool plain = true;     // One run of text with no markup, no "&" and no NUL: it is its own value.
};

struct ValueInfo {
  const ElementRow* row = nullptr;
  Content content;
  bool empty = false;
};

// A container on the path of open elements, with the "<plist>" tags opened inside it since.
struct Frame {
  std::uint8_t row;  // Its element's row in kElements.
  bool dictionary;   // Whether that row is a dictionary's, kept here for the usual elements.
  std::uint32_t plistsAbove;
};

constexpr bool IsContainer(ValueKind kind) {
  return kind == ValueKind::kDictionary || kind == ValueKind::kArray;
}

class XmlReader {
 public:
  XmlReader(std::span<char> document, const ReadRequest& request)
      : document_(document.data()),
        pos_(document.data()),
        end_(document.data() + document.size()),
        request_(request),
        keyWord_(request.key.size() <= kWordBytes ? WordOf(request.key) : 0) {}

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
    if (hasMatch_) answer.value = Decode(match_, request_.decoding);
    return answer;
  }

 private:
  // Reads until the document ends, is refused, or its root is complete.
  void ReadElements() {
    SkipUsualProlog();
    // After an instruction or a declaration, the next element is read the general way: the
    // usual elements' reading would stop at once at each of a run of them, which only a hostile
    // document holds.
    bool afterTag = true;
    while (true) {
      pos_ = SkipAll(pos_, end_, kSpace);
      if (afterTag && !ReadUsualElements()) return;
      if (pos_ == end_) break;
      if (*pos_ != '<' || ++pos_ == end_) {
        Fail();
        return;
      }
      bool goOn = false;
      afterTag = *pos_ != '?' && *pos_ != '!';
      if (*pos_ == '?') {
        goOn = SkipProcessingInstruction() || Fail();
      } else if (*pos_ == '!') {
        goOn = SkipDeclaration() || Fail();
      } else {
        Tag tag;
        goOn = ReadTag(tag) ? HandleElement(tag) : Fail();
      }
      if (!goOn) return;
    }
    if (!PathEmpty()) Fail();
  }

  // Skips the declaration, document type and "<plist>" that the platform's writers and libplist
  // put before every settings file, in one comparison: reading them one by one would cost as much
  // as the rest of a small file, and would come to the same, a "<plist>" opened.
  void SkipUsualProlog() {
    constexpr std::string_view kUsualProlog =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">";
    if (!StartsWith(pos_, end_, kUsualProlog)) return;
    pos_ += kUsualProlog.size();
    PushPlist();
  }

  // Reads the elements from `pos_` on for as long as they are written in the usual way
  // (kUsualTags) and stand where reading them takes no more than noting them: inside an open
  // container and not closing the root, and, for a value, where a value may stand. Leaves `pos_`
  // at the next element that is not, past any space; answers false when reading stops, refused.
  bool ReadUsualElements() {
    const char* at = pos_;
    while (end_ - at >= 8 && frameCount_ > 0) {
      const std::uint64_t word = LoadWord(at);
      // Every usual tag ends at its first ">": where the next element starts is known from the
      // word alone, and reading a run of elements need not wait, element by element, for the
      // table to say which tag each is.
      const std::uint64_t closes = MarkEqual(word, '>');
      if (closes == 0) break;
      const char* after = at + FirstMarked(closes) + 1;
      const std::uint8_t index = kUsualInSlot[UsualSlotOf(at[1], at[2])];
      if (index == kNoRow) break;
      const UsualTag& tag = kUsualTags[index];
      if ((word & tag.mask) != tag.word) break;
      UMBRAVISTA_ASSERT(after == at + tag.length);
      const Frame& top = frames_[frameCount_ - 1];
      const bool atRoot = ParentIsRoot();
      if (tag.usual == Usual::kClose) {
        if (atRoot || top.plistsAbove > 0 || tag.row != &kElements[top.row]) break;
        --frameCount_;
        keyWaiting_ = false;
      } else if (tag.usual == Usual::kKey) {
        if (!top.dictionary || keyWaiting_ || (atRoot && request_.visitor != nullptr)) break;
        constexpr std::string_view kEnd = "</key>";
        constexpr std::uint64_t kEndWord = WordOf(kEnd);
        const char* closing = FindAnyOf<'<', '&', '\0'>(after, end_);
        const bool entities = closing != end_ && *closing == '&';
        if (entities) closing = FindAnyOf<'<', '\0'>(closing, end_);
        if (end_ - closing < static_cast<std::ptrdiff_t>(kEnd.size()) ||
            ShortWord(closing, end_, kEnd.size()) != kEndWord) {
          break;
        }
        if (entities) {
          // One segment of text, checked as the general way checks it: a key of the root decoded
          // where it stands, any other only checked. The scans stopped at no NUL on the way.
          if (atRoot) {
            const char* decoded = WriteSegment(after, closing, Writable(after), true, true);
            if (decoded == nullptr) return Fail();
            keyMatches_ = IsKeyLookedUp(after, decoded);
          } else if (!EntitiesAreSound(after, closing, true)) {
            return Fail();
          }
        } else if (atRoot) {
          keyMatches_ = IsKeyLookedUp(after, closing);
        }
        keyWaiting_ = true;
        after = closing + kEnd.size();
      } else {
        if (top.dictionary && (!keyWaiting_ || (atRoot && request_.visitor != nullptr))) break;
        const char* closing = after;
        if (tag.usual == Usual::kText) {
          constexpr std::string_view kEnd = "/string>";
          constexpr std::uint64_t kEndWord = WordOf(kEnd);
          closing = FindAnyOf<'<', '&', '\0'>(after, end_);
          if (end_ - closing < static_cast<std::ptrdiff_t>(kEnd.size() + 1) || *closing != '<' ||
              LoadWord(closing + 1) != kEndWord) {
            break;
          }
        }
        if (top.dictionary && atRoot && keyMatches_) {
          match_ = {tag.row,
                    {Writable(after), Writable(closing), closing > after, true},
                    tag.usual == Usual::kEmpty};
          hasMatch_ = true;
        }
        if (tag.usual == Usual::kText) after = closing + 9;
        keyWaiting_ = false;
        if (tag.usual == Usual::kOpen && !Push(tag.row)) return false;
      }
      hasContent_ = true;
      at = after;
      if (at != end_ && kSpace.Contains(*at)) at = SkipAll(at, end_, kSpace);
    }
    pos_ = at;
    return true;
  }

  // Whether the plain text [begin, end) is the key looked up.
  [[nodiscard]] bool IsKeyLookedUp(const char* begin, const char* end) const {
    const auto length = static_cast<std::size_t>(end - begin);
    if (length != request_.key.size()) return false;
    if (length <= kWordBytes) return ShortWord(begin, end_, length) == keyWord_;
    return std::memcmp(begin, request_.key.data(), length) == 0;
  }

  // Handles one element from its tag on. Answers false when reading stops here, refused or done.
  bool HandleElement(const Tag& tag) {
    if (tag.name.starts_with('/')) return HandleEndTag(tag);
    const ElementRow* row = tag.word != 0 ? RowWithWord(tag.name, tag.word)
                                          : RowNamed(tag.name.data(), tag.name.size());
    if (row == nullptr) return Fail();
    if (row->reading == Reading::kWrapper) {
      hasContent_ = false;
      if (PathEmpty() && hasRoot_) return false;
      if (tag.empty) return Fail();
      PushPlist();
      return true;
    }
    hasContent_ = true;

    ValueInfo value{row, {}, tag.empty};
    if (row->reading == Reading::kTrimmed && !tag.empty) {
      if (!ReadContent(tag, *row, true, false, value.content)) return Fail();
    } else if (row->reading == Reading::kText || row->reading == Reading::kName) {
      if (!tag.empty) {
        const bool naming =
            row->reading == Reading::kName && !keyWaiting_ && hasRoot_ && ParentIsDictionary();
        // A key of the root is decoded at once, and its entities checked as it is; so is the text
        // looked up, which is decoded anyway, rather than checked first and decoded later.
        const bool wanted = !naming && IsWantedText();
        const bool decodedNow = wanted || (naming && ParentIsRoot());
        if (!ReadContent(tag, *row, false, !decodedNow, value.content)) return Fail();
        if (naming) return WaitWithKey(value.content) || Fail();
        if (wanted && !DecodeWhereItStands(value.content)) return Fail();
      }
    }
    const bool goOn = Place(value);
    keyWaiting_ = false;
    return goOn;
  }

  bool HandleEndTag(const Tag& tag) {
    constexpr std::string_view kPlistEnd = "/plist";
    constexpr std::uint64_t kPlistEndWord = WordOf(kPlistEnd);
    if (tag.name.size() == kPlistEnd.size() &&
        ShortWord(tag.name.data(), end_, kPlistEnd.size()) == kPlistEndWord) {
      if (!hasContent_ || !TopIsPlist()) return Fail();
      PopPlist();
      return true;
    }
    hasContent_ = true;
    keyWaiting_ = false;
    if (frameCount_ == 0 || frames_[frameCount_ - 1].plistsAbove > 0) return Fail();
    const std::string_view name = tag.name.substr(1);
    const ElementRow* row =
        tag.word != 0 ? RowWithWord(name, tag.word) : RowNamed(name.data(), name.size());
    if (row != &kElements[frames_[frameCount_ - 1].row]) {
      return Fail();
    }
    --frameCount_;
    // Closing the root container completes the document.
    return frameCount_ > 0 || !rootPushed_;
  }

  // Puts a value in its place: the root, or the open container. Answers false when reading stops.
  bool Place(const ValueInfo& value) {
    const bool container = IsContainer(value.row->kind);
    if (!hasRoot_) {
      hasRoot_ = true;
      rootKind_ = value.row->kind;
      if (!container) return false;
      rootPushed_ = !value.empty;
      return !rootPushed_ || Push(value.row);
    }
    if (ParentIsDictionary()) {
      if (!keyWaiting_) return Fail();
      if (ParentIsRoot()) OnRootEntry(value);
    }
    return !container || Push(value.empty ? nullptr : value.row);
  }

  // Holds the key `content` for the value that follows; answers false when its entities, which
  // a key of the root has not had checked yet, are unsound.
  bool WaitWithKey(const Content& content) {
    keyWaiting_ = true;
    if (!ParentIsRoot()) return true;
    if (content.plain && request_.visitor == nullptr) {
      // Most keys are plain text, compared where they stand.
      keyMatches_ =
          SameText(content.begin, content.present ? content.end : content.begin, request_.key);
      return true;
    }
    const std::optional<std::string_view> key = DecodeText(content);
    if (!key) return false;
    waitingKey_ = *key;
    keyMatches_ = *key == request_.key;
    return true;
  }

  // Whether the text read next is the value of the key looked up, whose text is asked for.
  [[nodiscard]] bool IsWantedText() const {
    return keyWaiting_ && keyMatches_ && request_.visitor == nullptr &&
           request_.decoding != Decoding::kKind && ParentIsRoot() && ParentIsDictionary();
  }

  void OnRootEntry(const ValueInfo& value) {
    if (request_.visitor != nullptr) {
      request_.visitor->Visit(waitingKey_, Decode(value, Decoding::kValue));
    } else if (keyMatches_) {
      match_ = value;
      hasMatch_ = true;
    }
  }

  // The row of the element named by the `length` bytes at `name`, or null for a name libplist
  // does not know.
  [[nodiscard]] const ElementRow* RowNamed(const char* name, std::size_t length) const {
    if (length == 0 || length > kLongestName) return nullptr;
    return RowWithWord({name, length}, ShortWord(name, end_, length));
  }

  // The row of the element `name`, at most eight bytes that make `word`.
  static const ElementRow* RowWithWord(std::string_view name, std::uint64_t word) {
    const std::uint8_t index = kRowInSlot[SlotOf(name)];
    if (index == kNoRow) return nullptr;
    const ElementRow& row = kElements[index];
    return row.word == word && row.name.size() == name.size() ? &row : nullptr;
  }

  static bool SameText(const char* begin, const char* end, std::string_view text) {
    return static_cast<std::size_t>(end - begin) == text.size() &&
           std::string_view(begin, text.size()) == text;
  }

  // --- Tags and content, as libplist scans them.

  bool ReadTag(Tag& tag) {
    if (ReadPlainTag(tag)) return true;
    const char* name = pos_;
    pos_ = FindAny(pos_, end_, kTagNameEndsAndNul);
    const char* nul = nullptr;
    if (pos_ != end_ && *pos_ == '\0') {
      nul = pos_;
      pos_ = FindAny(pos_, end_, kTagNameEnds);
    }
    if (pos_ == end_) return false;
    tag.writtenLength = static_cast<std::size_t>(pos_ - name);
    std::size_t nameLength =
        nul == nullptr ? tag.writtenLength : static_cast<std::size_t>(nul - name);
    if (*pos_ != '>') pos_ = FindAnyOutsideQuotes(pos_, kTagEndsAndQuote);
    if (pos_ == end_ || *pos_ != '>') return false;
    if (pos_[-1] == '/') {
      const auto slash = static_cast<std::size_t>(pos_ - name - 1);
      if (slash < nameLength) nameLength = slash;
      tag.empty = true;
    }
    ++pos_;
    tag.name = std::string_view(name, nameLength);
    return true;
  }

  // Reads the tag of the common shape in one step, a name of letters, after a "/" for an end tag,
  // ended by ">" or "/>", and answers whether it had that shape. When it had not, nothing has been
  // read.
  bool ReadPlainTag(Tag& tag) {
    if (end_ - pos_ <= 9) return false;
    const std::size_t slash = *pos_ == '/' ? 1 : 0;
    const char* letters = pos_ + slash;
    // Every byte that ends a name or cuts it (space, "<", ">", "/", NUL) lies below "@", and no
    // letter does.
    const std::uint64_t word = LoadWord(letters);
    const std::uint64_t marked = MarkBelow(word, '@');
    if (marked == 0) return false;
    const std::size_t length = FirstMarked(marked);
    const bool empty = letters[length] == '/' && letters[length + 1] == '>';
    if (length == 0 || (letters[length] != '>' && !empty)) return false;
    tag.writtenLength = slash + length + (empty ? 1 : 0);
    tag.name = {pos_, slash + length};
    tag.empty = empty;
    tag.word = word & LowBytes(length);
    pos_ += tag.writtenLength + 1;
    return true;
  }

  // Reads an element's content up to and including its end tag, which must carry the start tag's
  // name. Plain text is checked for sound entities when `checkEntities`.
  bool ReadContent(const Tag& tag, const ElementRow& row, bool skipSpace, bool checkEntities,
                   Content& content) {
    if (skipSpace) pos_ = SkipAll(pos_, end_, kSpace);
    content.begin = Writable(pos_);
    if (ReadPlainContent(tag, row, content)) return true;
    const char* text = pos_;
    const char* closing = nullptr;
    bool special = false;  // The text scanned since the last markup holds a "&" or a NUL.
    auto addText = [&](const char* begin, const char* end) {
      content.present = true;
      if (!special) return true;
      content.plain = false;
      return !checkEntities || EntitiesAreSound(begin, end);
    };
    while (true) {
      special = ScanText();
      if (pos_ == end_) return false;
      closing = pos_;
      if (++pos_ == end_) return false;
      if (*pos_ == '/') break;
      if (*pos_ != '!') return false;
      ++pos_;
      if (end_ - pos_ <= 1) return false;
      content.plain = false;
      if (pos_[0] == '-' && pos_[1] == '-') {
        if (!addText(text, closing)) return false;
        const char* close = FindText(pos_ + 2, end_, "-->");
        if (close == end_) return false;
        pos_ = close + 3;
      } else if (*pos_ == '[') {
        ++pos_;
        if (end_ - pos_ <= 8 || !StartsWith(pos_, end_, "CDATA[")) return false;
        if (closing > text && !addText(text, closing)) return false;
        const char* close = FindText(pos_ + 6, end_, "]]>");
        if (close == end_) return false;
        content.present = true;
        pos_ = close + 3;
      } else {
        return false;
      }
      text = pos_;
    }
    ++pos_;
    if (end_ - pos_ <= static_cast<std::ptrdiff_t>(tag.writtenLength) ||
        !EndTagNameMatches(tag, row)) {
      return false;
    }
    pos_ = SkipAll(pos_ + tag.writtenLength, end_, kSpace);
    if (pos_ == end_ || *pos_ != '>') return false;
    ++pos_;
    if (closing > text && !addText(text, closing)) return false;
    content.end = Writable(closing);
    return true;
  }

  // Reads the content of the common shape, one run of text with no "&" and no NUL and then the end
  // tag as written in the start tag, "#101010</string>", and answers whether it had that shape.
  // When it had not, nothing has been read.
  bool ReadPlainContent(const Tag& tag, const ElementRow& row, Content& content) {
    const char* closing = FindAnyOf<'<', '&', '\0'>(pos_, end_);
    const std::size_t length = row.name.size();
    if (end_ - closing <= static_cast<std::ptrdiff_t>(length + 2) || closing[0] != '<' ||
        closing[1] != '/' || tag.writtenLength != length ||
        ShortWord(closing + 2, end_, length) != row.word || closing[2 + length] != '>') {
      return false;
    }
    content.present = closing > pos_;
    content.end = Writable(closing);
    pos_ = closing + 3 + length;
    return true;
  }

  // Moves to the next "<" and answers whether the text passed over holds a "&" or a NUL byte.
  bool ScanText() {
    pos_ = FindAnyOf<'<', '&', '\0'>(pos_, end_);
    if (pos_ == end_ || *pos_ == '<') return false;
    pos_ = FindByte(pos_ + 1, end_, '<');
    return true;
  }

  // libplist compares the end tag's name with strncmp over the start tag's written length, against
  // the name it kept, which is NUL after its compared length.
  [[nodiscard]] bool EndTagNameMatches(const Tag& tag, const ElementRow& row) const {
    if (tag.writtenLength == row.name.size())
      return ShortWord(pos_, end_, row.name.size()) == row.word;
    for (std::size_t i = 0; i < tag.writtenLength; ++i) {
      const char wanted = i < tag.name.size() ? tag.name[i] : '\0';
      if (pos_[i] != wanted) return false;
      if (wanted == '\0') return true;
    }
    return true;
  }

  // The first byte of `stopsAndQuote` outside double quotes, or the end.
  const char* FindAnyOutsideQuotes(const char* from, const ByteSet& stopsAndQuote) const {
    while (true) {
      from = FindAny(from, end_, stopsAndQuote);
      if (from == end_ || *from != '"') return from;
      from = FindByte(from + 1, end_, '"');
      if (from == end_) return end_;
      ++from;
    }
  }

  bool SkipProcessingInstruction() {
    const char* close = FindTextOutsideQuotes(pos_, end_, "?>");
    if (close == end_) return false;
    pos_ = close + 2;
    return true;
  }

  bool SkipDeclaration() {
    if (end_ - pos_ > 3 && StartsWith(pos_, end_, "!--")) {
      const char* close = FindText(pos_ + 3, end_, "-->");
      if (close == end_) return false;
      pos_ = close + 3;
      return true;
    }
    if (end_ - pos_ > 8 && StartsWith(pos_, end_, "!DOCTYPE")) {
      pos_ += 8;
      bool embedded = false;
      while (pos_ < end_) {
        pos_ = FindAnyOutsideQuotes(pos_, kDoctypeStopsAndQuote);
        if (pos_ == end_) return false;
        if (*pos_ == '[') {
          embedded = true;
          break;
        }
        if (*pos_ == '>') {
          ++pos_;
          break;
        }
        pos_ = SkipAll(pos_, end_, kSpace);
      }
      if (embedded) {
        const char* close = FindTextOutsideQuotes(pos_, end_, "]>");
        if (close == end_) return false;
        pos_ = close + 2;
      }
      return true;
    }
    return false;
  }

  // --- Values.

  // The text of `content`, decoded where it stands; nullopt when an entity in it is unsound.
  static std::optional<std::string_view> DecodeText(const Content& content) {
    if (!content.present) return std::string_view();
    if (content.plain)
      return std::string_view(content.begin, static_cast<std::size_t>(content.end - content.begin));
    const char* end = WriteContent(content.begin, content.end, content.begin, true);
    if (end == nullptr) return std::nullopt;
    return std::string_view(content.begin, static_cast<std::size_t>(end - content.begin));
  }

  // Decodes `content` where it stands and makes it plain text, which is not decoded again;
  // answers false when an entity in it is unsound.
  static bool DecodeWhereItStands(Content& content) {
    const std::optional<std::string_view> text = DecodeText(content);
    if (!text) return false;
    content.end = content.begin + text->size();
    content.plain = true;
    return true;
  }

  // The content of a number as one C string, where it stands.
  static const char* NumberText(const Content& content) {
    char* end = WriteContent(content.begin, content.end, content.begin, false);
    *end = '\0';  // Over the end tag's "<", which has been read.
    return content.begin;
  }

  static SettingsValue Decode(const ValueInfo& info, Decoding decoding) {
    SettingsValue value;
    value.kind = info.row->kind;
    if (decoding == Decoding::kKind) return value;
    const bool hasText = !info.empty && info.content.present;
    switch (value.kind) {
      case ValueKind::kString:
        // Text that is not a key of the root had its entities checked as it was read.
        if (hasText) value.text = DecodeText(info.content).value_or(std::string_view());
        break;
      case ValueKind::kBoolean:
        value.boolean = info.row->truth;
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

  // Opens a container one level below the innermost open one, or refuses it as too deep. The root
  // counts as a level even when it is empty and has no frame; an empty container (`row` null)
  // counts as a level for the no time that it is open, and gets no frame either.
  bool Push(const ElementRow* row) {
    const std::size_t level = frameCount_ + (rootPushed_ ? 0 : 1) + 1;
    if (level > kMaximumNesting) {
      tooDeep_ = true;
      return Fail();
    }
    if (row == nullptr) return true;
    UMBRAVISTA_ASSERT(frameCount_ < frames_.size());
    frames_[frameCount_++] = {static_cast<std::uint8_t>(row - kElements),
                              row->kind == ValueKind::kDictionary, 0};
    return true;
  }

  // The open container that a value goes into: the innermost open one, or an empty root.
  [[nodiscard]] bool ParentIsDictionary() const {
    return frameCount_ > 0 ? kElements[frames_[frameCount_ - 1].row].kind == ValueKind::kDictionary
                           : rootKind_ == ValueKind::kDictionary;
  }

  [[nodiscard]] bool ParentIsRoot() const { return frameCount_ == (rootPushed_ ? 1U : 0U); }

  bool Fail() {
    failed_ = true;
    return false;
  }

  // The place of `at` in the document, to decode text where it stands.
  [[nodiscard]] char* Writable(const char* at) const { return document_ + (at - document_); }

  char* document_;
  const char* pos_;
  const char* end_;
  const ReadRequest& request_;
  // The key looked up as one number (see ShortWord), when it is one word long or shorter.
  static constexpr std::size_t kWordBytes = 8;
  std::uint64_t keyWord_;

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

[[gnu::flatten]] SettingsLookup ReadXml(std::span<char> document, const ReadRequest& request) {
  if (document.empty()) return {};
  return XmlReader(document, request).Read();
}

}  // namespace umbravista::property_list
