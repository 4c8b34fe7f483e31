#include "propertylist/XmlText.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace umbravista::property_list {
namespace {

constexpr std::uint64_t kLargestCodePoint = 0x10FFFF;
constexpr std::size_t kLongestNumericReference = 8;  // Characters between "&" and ";".

struct NamedEntity {
  std::string_view name;
  char character;
};

// Matched by their start, in this order, as libplist matches them.
constexpr NamedEntity kNamedEntities[] = {
    {"amp", '&'}, {"apos", '\''}, {"quot", '"'}, {"lt", '<'}, {"gt", '>'},
};

struct Entity {
  bool sound = false;
  std::uint32_t codePoint = 0;  // A named entity's character, or a numeric reference's value.
};

// The numeric reference between "&#" and ";" (`digits` starts after "#"), read as strtoull reads
// it, which is what decides what libplist accepts: leading white space, a sign and, in hex, a "0x"
// are taken too. The number must end exactly at the ";".
Entity NumericReference(const char* digits, const char* semicolon) {
  const auto length = static_cast<std::size_t>(semicolon - digits);
  const bool hex = length > 0 && (digits[0] == 'x' || digits[0] == 'X');
  if (length + 1 > kLongestNumericReference || length < (hex ? 2U : 1U)) return {};
  const char* number = hex ? digits + 1 : digits;
  char* stop = nullptr;
  // The ";" ends the number, so strtoull never reads past the reference.
  const std::uint64_t value = std::strtoull(number, &stop, hex ? 16 : 10);
  if (stop != semicolon || value == 0 || value > kLargestCodePoint) return {};
  return {true, static_cast<std::uint32_t>(value)};
}

// The entity that starts at `ampersand` and ends at `semicolon`.
Entity EntityBetween(const char* ampersand, const char* semicolon) {
  const std::string_view name(ampersand + 1, static_cast<std::size_t>(semicolon - ampersand - 1));
  if (name.empty()) return {};
  if (name.front() == '#') return NumericReference(ampersand + 2, semicolon);
  for (const NamedEntity& entity : kNamedEntities) {
    if (name.starts_with(entity.name)) {
      return {true, static_cast<std::uint32_t>(static_cast<unsigned char>(entity.character))};
    }
  }
  return {};
}

// Writes a code point as libplist does: UTF-8, surrogates included.
char* WriteUtf8(std::uint32_t codePoint, char* out) {
  if (codePoint < 0x80) {
    *out++ = static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    *out++ = static_cast<char>(0xC0 | (codePoint >> 6));
    *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (codePoint >> 12));
    *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (codePoint >> 18));
    *out++ = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
  }
  return out;
}

const char* FirstNul(const char* begin, const char* end) {
  const void* nul = std::memchr(begin, '\0', static_cast<std::size_t>(end - begin));
  return nul == nullptr ? end : static_cast<const char*>(nul);
}

const char* Find(const char* begin, const char* end, char wanted) {
  const void* found = std::memchr(begin, wanted, static_cast<std::size_t>(end - begin));
  return found == nullptr ? end : static_cast<const char*>(found);
}

// Walks the entities of [begin, end) and calls `onEntity(ampersand, semicolon, entity)` for each,
// stopping at the first unsound one; answers whether all were sound. A "&" that is the last byte
// of the segment is no entity. Nothing from the first NUL on is looked at.
template <typename OnEntity>
bool ForEachEntity(const char* begin, const char* end, OnEntity onEntity) {
  const char* text = begin;
  const char* nul = FirstNul(begin, end);
  while (true) {
    const char* ampersand = Find(text, nul, '&');
    if (ampersand == nul || ampersand + 1 == end) return true;
    const char* semicolon = Find(ampersand + 1, nul, ';');
    if (semicolon == nul) return false;
    const Entity entity = EntityBetween(ampersand, semicolon);
    if (!entity.sound) return false;
    onEntity(ampersand, semicolon, entity);
    text = semicolon + 1;
  }
}

// The first place from `from` on where the three bytes of `closer` stand. Only for content that
// has been checked, in which the closer is known to come before the content's end.
const char* FindCloser(const char* from, const char* closer) {
  while (std::memcmp(from, closer, 3) != 0) ++from;
  return from;
}

// Moves [from, to) down to `out`; the regions may overlap, `out` never after `from`.
char* MoveDown(const char* from, const char* to, char* out) {
  const auto count = static_cast<std::size_t>(to - from);
  if (out != from) std::memmove(out, from, count);
  return out + count;
}

}  // namespace

bool EntitiesAreSound(const char* begin, const char* end) {
  return ForEachEntity(begin, end, [](const char*, const char*, const Entity&) {});
}

char* WriteSegment(const char* begin, const char* end, char* out, bool decodeEntities) {
  const char* nul = FirstNul(begin, end);
  const char* copied = begin;
  if (decodeEntities) {
    ForEachEntity(begin, end, [&](const char* ampersand, const char* semicolon, const Entity& e) {
      out = MoveDown(copied, ampersand, out);
      out = WriteUtf8(e.codePoint, out);
      copied = semicolon + 1;
    });
  }
  out = MoveDown(copied, nul, out);
  const auto zeros = static_cast<std::size_t>(end - nul);
  std::memset(out, 0, zeros);
  return out + zeros;
}

char* WriteContent(const char* begin, const char* end, char* out, bool decodeEntities) {
  constexpr std::string_view kCommentStart = "<!--";
  constexpr std::string_view kCdataStart = "<![CDATA[";
  const char* text = begin;
  while (true) {
    const char* markup = Find(text, end, '<');
    out = WriteSegment(text, markup, out, decodeEntities);
    if (markup == end) return out;
    // Checked content holds only comments and CDATA sections, each closed before `end`.
    if (std::string_view(markup, kCommentStart.size()) == kCommentStart) {
      text = FindCloser(markup + kCommentStart.size(), "-->") + 3;
    } else {
      const char* section = markup + kCdataStart.size();
      const char* close = FindCloser(section, "]]>");
      out = WriteSegment(section, close, out, false);
      text = close + 3;
    }
  }
}

}  // namespace umbravista::property_list
