#include "propertylist/XmlText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "propertylist/ByteScan.h"
#include "propertylist/Invariant.h"
#include "propertylist/Utf8.h"

namespace umbravista::property_list {
namespace {

constexpr std::uint32_t kLargestCodePoint = 0x10FFFF;
constexpr std::size_t kLongestNumericReference = 8;  // Characters between "&" and ";".

struct NamedEntity {
  constexpr NamedEntity(std::string_view name, char character)
      : name(name),
        character(character),
        written(WrittenWord(name)),
        writtenBytes(LowBytes(name.size() + 2)),
        startBytes(LowBytes(name.size() + 1)) {}

  // "&", the name and ";" as one number (see ShortWord): the entity as it is usually written.
  static constexpr std::uint64_t WrittenWord(std::string_view name) {
    std::uint64_t word = static_cast<unsigned char>(';');
    for (std::size_t i = name.size(); i-- > 0;)
      word = (word << 8) | static_cast<unsigned char>(name[i]);
    return (word << 8) | static_cast<unsigned char>('&');
  }
  [[nodiscard]] constexpr std::size_t WrittenLength() const { return name.size() + 2; }

  // Whether `word`, the eight bytes from a "&" on, holds the entity written as usual.
  [[nodiscard]] constexpr bool WrittenIn(std::uint64_t word) const {
    return (word & writtenBytes) == written;
  }
  // Whether `word`, the eight bytes from a "&" on, starts with "&" and the name, which libplist
  // takes as the entity whatever follows the name up to the ";".
  [[nodiscard]] constexpr bool StartsWord(std::uint64_t word) const {
    return (word & startBytes) == (written & startBytes);
  }

  std::string_view name;
  char character;
  std::uint64_t written;
  std::uint64_t writtenBytes;  // The mask of the bytes of `written`.
  std::uint64_t startBytes;    // The mask of its "&" and name.
};

// Matched by their start, as libplist matches them: no name starts another, so at most one matches.
constexpr NamedEntity kNamedEntities[] = {
    {"amp", '&'}, {"apos", '\''}, {"quot", '"'}, {"lt", '<'}, {"gt", '>'},
};

// Where to look for an entity: the first two letters of its name tell every entity apart, so a
// name is compared with one entity at most.
constexpr std::size_t kEntitySlots = 16;
constexpr std::size_t EntitySlotOf(char first, char second) {
  return (static_cast<unsigned char>(first) ^ static_cast<unsigned char>(second)) % kEntitySlots;
}
constexpr std::uint8_t kNoEntity = 0xFF;
constexpr auto kEntityInSlot = [] {
  std::array<std::uint8_t, kEntitySlots> entities{};
  entities.fill(kNoEntity);
  for (std::size_t index = 0; index < std::size(kNamedEntities); ++index) {
    const std::string_view name = kNamedEntities[index].name;
    if (name.size() < 2) throw "a name shorter than two letters has no slot";
    std::uint8_t& slot = entities[EntitySlotOf(name[0], name[1])];
    if (slot != kNoEntity) throw "two entities share a slot: choose another EntitySlotOf";
    slot = static_cast<std::uint8_t>(index);
  }
  return entities;
}();

// What strtoull passes over before a number: the C locale's white space.
constexpr ByteSet kCSpace(" \t\n\v\f\r");

struct Entity {
  bool sound = false;
  std::uint32_t codePoint = 0;  // A named entity's character, or a numeric reference's value.
};

// The value of each byte as a digit in bases up to 16, or 16 for a byte that is none.
constexpr auto kDigitValues = [] {
  std::array<std::uint8_t, 256> values{};
  values.fill(16);
  for (int digit = 0; digit < 10; ++digit) values['0' + digit] = static_cast<std::uint8_t>(digit);
  for (int digit = 0; digit < 6; ++digit) {
    values['a' + digit] = values['A' + digit] = static_cast<std::uint8_t>(10 + digit);
  }
  return values;
}();

// Whether `byte`, the one at the end of a segment of text, is "<", which starts the markup after
// it, or NUL, which ends the part of it whose entities count.
[[maybe_unused]] constexpr bool EndsText(char byte) {
  return byte == '<' || byte == '\0';
}

// Whether strtoull, which decides what libplist accepts, reads [number, semicolon) in `base` as
// `value` ending exactly at the ";" (for the checks of a build with assertions).
[[maybe_unused]] bool StrtoullReads(const char* number, const char* semicolon, int base,
                                    const Entity& entity) {
  char* stop = nullptr;
  const std::uint64_t value = std::strtoull(number, &stop, base);
  const bool sound = stop == semicolon && value != 0 && value <= kLargestCodePoint;
  return sound == entity.sound && (!sound || value == entity.codePoint);
}

// The numeric reference between "&#" and ";" (`digits` starts after "#"), read as strtoull reads
// it: leading white space, one sign and, in hex, a "0x" are taken too, and the number must end
// exactly at the ";". It is at most seven characters long, so it never overflows; a minus sign
// makes every value other than zero wrap past the largest code point, and zero is no character,
// so no negative reference is sound.
Entity NumericReference(const char* digits, const char* semicolon) {
  const auto length = static_cast<std::size_t>(semicolon - digits);
  const bool hex = length > 0 && (digits[0] | 0x20) == 'x';
  if (length + 1 > kLongestNumericReference || length < (hex ? 2U : 1U)) return {};
  const char* number = hex ? digits + 1 : digits;
  const std::uint32_t base = hex ? 16 : 10;
  const char* at = SkipAll(number, semicolon, kCSpace);
  bool negative = false;
  if (at < semicolon && (*at == '+' || *at == '-')) negative = *at++ == '-';
  if (hex && semicolon - at >= 2 && at[0] == '0' && (at[1] | 0x20) == 'x') at += 2;
  const char* first = at;
  std::uint32_t value = 0;
  for (; at < semicolon; ++at) {
    const std::uint32_t digit = kDigitValues[static_cast<unsigned char>(*at)];
    if (digit >= base) break;
    value = value * base + digit;
  }
  Entity entity;
  entity.sound =
      at != first && at == semicolon && !negative && value != 0 && value <= kLargestCodePoint;
  entity.codePoint = entity.sound ? value : 0;
  UMBRAVISTA_ASSERT(StrtoullReads(number, semicolon, static_cast<int>(base), entity));
  return entity;
}

// Whether `name` starts with `start`, compared byte by byte: the names are a few bytes long.
constexpr bool StartsWithName(std::string_view name, std::string_view start) {
  if (name.size() < start.size()) return false;
  for (std::size_t i = 0; i < start.size(); ++i) {
    if (name[i] != start[i]) return false;
  }
  return true;
}

// The one entity whose name the name at `ampersand` may start with, which its first two letters
// tell (kEntityInSlot), or null. Reads the two bytes after the "&".
[[gnu::always_inline]] inline const NamedEntity* CandidateEntity(const char* ampersand) {
  const std::uint8_t index = kEntityInSlot[EntitySlotOf(ampersand[1], ampersand[2])];
  return index == kNoEntity ? nullptr : &kNamedEntities[index];
}

// The entity that starts at `ampersand` and ends at `semicolon`.
Entity EntityBetween(const char* ampersand, const char* semicolon) {
  const std::string_view name(ampersand + 1, static_cast<std::size_t>(semicolon - ampersand - 1));
  if (name.empty()) return {};
  if (name.front() == '#') return NumericReference(ampersand + 2, semicolon);
  if (name.size() < 2) return {};
  const NamedEntity* named = CandidateEntity(ampersand);
  if (named == nullptr || !StartsWithName(name, named->name)) return {};
  return {true, static_cast<std::uint32_t>(static_cast<unsigned char>(named->character))};
}

// The named entity at `ampersand` whose name and ";" lie in the eight bytes from there on ("&lt;",
// "&ltx;"), which most are, read into `entity`; answers its ";", or null for any other spelling,
// which EntityBetween then reads. No name holds a ";", so the first ";" in the word is the
// entity's end: where the next entity starts is known from the word alone, and decoding a run of
// entities need not wait, entity by entity, for the table to say which one each is.
[[gnu::always_inline]] inline const char* NamedWithinAWord(const char* ampersand, const char* end,
                                                           Entity& entity) {
  if (end - ampersand < 8) return nullptr;
  const std::uint64_t word = LoadWord(ampersand);
  const std::uint64_t semicolons = MarkEqual(word, ';');
  if (semicolons == 0) return nullptr;
  const char* semicolon = ampersand + FirstMarked(semicolons);
  const NamedEntity* named = CandidateEntity(ampersand);
  if (named == nullptr || !named->StartsWord(word)) return nullptr;
  UMBRAVISTA_ASSERT(EntityBetween(ampersand, semicolon).codePoint ==
                    static_cast<unsigned char>(named->character));
  entity = {true, static_cast<std::uint32_t>(static_cast<unsigned char>(named->character))};
  return semicolon;
}

// Reads the digits of `Base` from `from` on into `value`, which wraps past 32 bits, up to the
// first byte that is none, and answers where that is. The caller's text ends at a byte that is no
// digit (EndsText), and each digit is read once, however many there are.
template <std::uint32_t Base>
[[gnu::always_inline]] inline const char* ReadDigits(const char* from, std::uint32_t& value) {
  while (true) {
    const std::uint32_t digit = kDigitValues[static_cast<unsigned char>(*from)];
    if (digit >= Base) return from;
    value = value * Base + digit;
    ++from;
  }
}

// Where strtoull starts reading digits in [from, end): past white space, one "+" and, in
// hexadecimal, a "0x", as NumericReference reads them. Apart, so that the usual reference's path
// stays short.
[[gnu::noinline]] const char* NumberStart(const char* from, const char* end, bool hex) {
  from = SkipAll(from, end, kCSpace);
  if (from != end && *from == '+') ++from;
  if (hex && end - from >= 2 && from[0] == '0' && (from[1] | 0x20) == 'x') from += 2;
  return from;
}

// The numeric reference at `ampersand` written as usual, "&#" and decimal digits or "&#x" and
// hexadecimal ones, perhaps after what strtoull passes over (NumberStart), then ";",
// read in one pass into `entity`; answers its ";", or null for any other spelling, which
// EntityBetween then reads as strtoull would. Nothing after `end` is read: the byte there, "<" or
// NUL (EndsText), stops the digits as any byte that is no digit does.
[[gnu::always_inline]] inline const char* WrittenAsUsualNumber(const char* ampersand,
                                                               const char* end, Entity& entity) {
  UMBRAVISTA_ASSERT(ampersand + 1 < end && EndsText(*end));
  // The byte after "#" is at most `end`, which is no "x"; after an "x" the digits start at most
  // there.
  const bool hex = (ampersand[2] | 0x20) == 'x';
  const char* digits = hex ? ampersand + 3 : ampersand + 2;
  // A "0" is no "<" or NUL, so the byte after it may be read.
  if (kDigitValues[static_cast<unsigned char>(*digits)] >= 16 ||
      (hex && digits[0] == '0' && (digits[1] | 0x20) == 'x')) [[unlikely]] {
    digits = NumberStart(digits, end, hex);
  }
  std::uint32_t value = 0;
  // Each base has its own loop, so that a digit costs a shift or two, not a multiplication.
  const char* at = hex ? ReadDigits<16>(digits, value) : ReadDigits<10>(digits, value);
  // At most kLongestNumericReference characters stand between "&" and ";", and the value lies in
  // 1 to the largest code point: no digit at all leaves it 0, which the subtraction wraps.
  if (at - ampersand > static_cast<std::ptrdiff_t>(kLongestNumericReference + 1) || *at != ';' ||
      value - 1 >= kLargestCodePoint) {
    return nullptr;
  }
  entity = {true, value};
  UMBRAVISTA_ASSERT(EntityBetween(ampersand, at).codePoint == value);
  return at;
}

// Text holds no NUL byte but where a hostile document puts one: most segments are short, and a
// word at a time passes a short one sooner than memchr's call would.
const char* FirstNul(const char* begin, const char* end) {
  constexpr std::ptrdiff_t kShort = 64;
  return end - begin <= kShort ? FindAnyOf<'\0'>(begin, end) : FindByte(begin, end, '\0');
}

// The entity at `ampersand` (not the last byte before `end`) in a spelling read in one step, named
// (NamedWithinAWord) or numeric (WrittenAsUsualNumber), into `entity`; answers its ";", or null
// for any other spelling. Text holds named entities far more often than numbers, whose path is
// kept out of theirs.
[[gnu::always_inline]] inline const char* UsualEntity(const char* ampersand, const char* end,
                                                      Entity& entity) {
  if (ampersand[1] == '#') [[unlikely]]
    return WrittenAsUsualNumber(ampersand, end, entity);
  return NamedWithinAWord(ampersand, end, entity);
}

// Reads the entity at `ampersand`, spelled in any way, into `entity`, and answers its ";", or null
// when it is unsound. Only [ampersand, nul) is read.
[[gnu::always_inline]] inline const char* AnyEntity(const char* ampersand, const char* nul,
                                                    Entity& entity) {
  const char* semicolon = FindByte(ampersand + 1, nul, ';');
  if (semicolon == nul) return nullptr;
  entity = EntityBetween(ampersand, semicolon);
  return entity.sound ? semicolon : nullptr;
}

// Reads the entity at `ampersand`, which the caller has seen is not the last byte of its segment,
// into `entity`, and answers its ";", or null when it is unsound. Only [ampersand, nul) is read.
[[gnu::always_inline]] inline const char* ReadEntity(const char* ampersand, const char* nul,
                                                     Entity& entity) {
  const char* semicolon = UsualEntity(ampersand, nul, entity);
  return semicolon != nullptr ? semicolon : AnyEntity(ampersand, nul, entity);
}

// UsualEntity for an entity only checked, which a word of text follows: answers its ";", or null
// for any other spelling. One named as usual ends where its row says, not at the first ";" of the
// word: a walk that only checks knows the next "&" from its block, and need not wait for this end.
[[gnu::always_inline]] inline const char* CheckedUsualEntity(const char* ampersand,
                                                             const char* nul) {
  if (ampersand[1] == '#') [[unlikely]] {
    Entity entity;
    return WrittenAsUsualNumber(ampersand, nul, entity);
  }
  const NamedEntity* named = CandidateEntity(ampersand);
  if (named == nullptr) return nullptr;
  const std::uint64_t word = LoadWord(ampersand);
  if (named->WrittenIn(word)) return ampersand + named->WrittenLength() - 1;
  // More letters after the name: its end is the first ";", if the word holds one.
  const std::uint64_t semicolons = MarkEqual(word, ';');
  return named->StartsWord(word) && semicolons != 0 ? ampersand + FirstMarked(semicolons) : nullptr;
}

// Walks the entities of [begin, end) and calls `onEntity(ampersand, semicolon, entity)` for each,
// stopping at the first unsound one; answers whether all were sound. A "&" that is the last byte
// of the segment is no entity. Nothing from the first NUL on, `nul` (FirstNul), is looked at.
template <typename OnEntity>
bool ForEachEntity(const char* begin, const char* nul, const char* end, OnEntity onEntity) {
  const char* ampersand = FindByte(begin, nul, '&');
  while (ampersand != nul) {
    if (ampersand + 1 == end) return true;
    Entity entity;
    const char* semicolon = ReadEntity(ampersand, nul, entity);
    if (semicolon == nullptr) return false;
    onEntity(ampersand, semicolon, entity);
    // Entities often follow one another with nothing between.
    const char* next = semicolon + 1;
    ampersand = next != nul && *next == '&' ? next : FindByte(next, nul, '&');
  }
  return true;
}

// ForEachEntity with nothing to do for each entity but check it. Its "&"s are found eight bytes
// at a time, apart from reading the entities: the next one is known without waiting for the end
// of the one before, so that a run of short entities is checked at the pace of the checks, not of
// the wait for each one's end. A "&" within an entity (which only an entity spelled unusually
// holds) is passed over, as the entity's end says.
bool AllEntitiesSound(const char* begin, const char* nul, const char* end) {
  const char* block = FindByte(begin, nul, '&');
  const char* resume = begin;  // Where the last entity checked ends.
  // A block is walked while a word follows it: no "&" in it is then its segment's last byte.
  while (nul - block >= 16) {
    std::uint64_t ampersands = MarkEqualExactly(LoadWord(block), '&');
    if (ampersands == 0) {
      block = FindByte(block + 8, nul, '&');
      continue;
    }
    do {
      const char* ampersand = block + FirstMarked(ampersands);
      ampersands &= ampersands - 1;
      if (ampersand < resume) continue;
      UMBRAVISTA_ASSERT(ampersand + 1 < end);
      const char* semicolon = CheckedUsualEntity(ampersand, nul);
      if (semicolon == nullptr) {
        Entity entity;
        semicolon = AnyEntity(ampersand, nul, entity);
        if (semicolon == nullptr) return false;
      }
      resume = semicolon + 1;
    } while (ampersands != 0);
    block += 8;
  }
  // The last few bytes, entity by entity.
  return ForEachEntity(std::max(block, resume), nul, end,
                       [](const char*, const char*, const Entity&) {});
}

// Moves [from, to) down to `out`; the regions may overlap, `out` never after `from`. The runs
// between entities are short: a loop moves them sooner than a call.
char* MoveDown(const char* from, const char* to, char* out) {
  UMBRAVISTA_ASSERT(out <= from);
  const auto count = static_cast<std::size_t>(to - from);
  if (out == from) return out + count;
  constexpr std::size_t kShort = 16;
  if (count > kShort) {
    std::memmove(out, from, count);
    return out + count;
  }
  while (from < to) *out++ = *from++;
  return out;
}

}  // namespace

bool EntitiesAreSound(const char* begin, const char* end, bool seenWithoutNul) {
  UMBRAVISTA_ASSERT(EndsText(*end));
  return AllEntitiesSound(begin, seenWithoutNul ? end : FirstNul(begin, end), end);
}

char* WriteSegment(const char* begin, const char* end, char* out, bool decodeEntities,
                   bool seenWithoutNul) {
  UMBRAVISTA_ASSERT(!seenWithoutNul || FirstNul(begin, end) == end);
  UMBRAVISTA_ASSERT(!decodeEntities || EndsText(*end));
  const char* nul = seenWithoutNul ? end : FirstNul(begin, end);
  const char* copied = begin;
  if (decodeEntities) {
    const bool sound = ForEachEntity(
        begin, nul, end, [&](const char* ampersand, const char* semicolon, const Entity& e) {
          // Entities often follow one another with nothing between to move.
          if (ampersand != copied) out = MoveDown(copied, ampersand, out);
          // No character is longer in UTF-8 than the shortest reference to it ("&#x80;" is two
          // bytes, "&#x10000;" four), so the writing stays behind the reading.
          out = WriteUtf8(e.codePoint, out);
          copied = semicolon + 1;
        });
    if (!sound) return nullptr;
  }
  out = MoveDown(copied, nul, out);
  if (nul == end) return out;
  const auto zeros = static_cast<std::size_t>(end - nul);
  std::memset(out, 0, zeros);
  return out + zeros;
}

char* WriteContent(const char* begin, const char* end, char* out, bool decodeEntities) {
  constexpr std::string_view kCommentStart = "<!--";
  constexpr std::string_view kCdataStart = "<![CDATA[";
  const char* text = begin;
  while (true) {
    const char* markup = FindByte(text, end, '<');
    out = WriteSegment(text, markup, out, decodeEntities);
    if (out == nullptr || markup == end) return out;
    // Checked content holds only comments and CDATA sections, each closed before `end`.
    if (StartsWith(markup, end, kCommentStart)) {
      const char* close = FindText(markup + kCommentStart.size(), end, "-->");
      UMBRAVISTA_ASSERT(close != end);
      text = close + 3;
    } else {
      UMBRAVISTA_ASSERT(StartsWith(markup, end, kCdataStart));
      const char* section = markup + kCdataStart.size();
      const char* close = FindText(section, end, "]]>");
      UMBRAVISTA_ASSERT(close != end);
      out = WriteSegment(section, close, out, false);
      text = close + 3;
    }
  }
}

}  // namespace umbravista::property_list
