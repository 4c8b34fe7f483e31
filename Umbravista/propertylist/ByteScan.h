#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Scanning primitives over a range [from, end) of a document. Each one checks the room it has, so
// that a caller never reads past the end by asking, and each costs a few instructions per byte it
// passes over whatever the bytes are: a hostile document can make them stop often, never make
// them look at a byte more than a few times.
namespace umbravista::property_list {

// Eight bytes at `at` as one number, the first byte lowest.
inline std::uint64_t LoadWord(const char* at) {
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  return word;
}

inline constexpr std::uint64_t kOnes = 0x0101010101010101;
inline constexpr std::uint64_t kHighs = 0x8080808080808080;

// The high bit set in each byte of `word` below `bound` (at most 0x80). A byte above the first
// marked one may be marked wrongly, but never one below it, which is all that is asked of it.
constexpr std::uint64_t MarkBelow(std::uint64_t word, unsigned char bound) {
  return (word - kOnes * bound) & ~word & kHighs;
}

// The high bit set in each byte of `word` equal to `byte`, as MarkBelow marks.
constexpr std::uint64_t MarkEqual(std::uint64_t word, char byte) {
  return MarkBelow(word ^ (kOnes * static_cast<unsigned char>(byte)), 1);
}

// The high bit set in exactly the bytes of `word` equal to `byte`, none marked wrongly.
constexpr std::uint64_t MarkEqualExactly(std::uint64_t word, char byte) {
  const std::uint64_t differences = word ^ (kOnes * static_cast<unsigned char>(byte));
  return ~(((differences & ~kHighs) + ~kHighs) | differences) & kHighs;
}

// The place of the first byte marked in a word that has one marked.
constexpr std::size_t FirstMarked(std::uint64_t marked) {
  return static_cast<std::size_t>(std::countr_zero(marked)) / 8;
}

// A set of bytes, looked up in one step.
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

// The first byte of `set` in [from, end), or `end`.
inline const char* FindAny(const char* from, const char* end, const ByteSet& set) {
  while (end - from >= 4) {
    if (set.Contains(from[0])) return from;
    if (set.Contains(from[1])) return from + 1;
    if (set.Contains(from[2])) return from + 2;
    if (set.Contains(from[3])) return from + 3;
    from += 4;
  }
  while (from < end && !set.Contains(*from)) ++from;
  return from;
}

// The first of the bytes `Wanted` in [from, end), or `end`, looked for eight bytes at a time, for
// a set of a few bytes that text runs long between.
template <char... Wanted>
inline const char* FindAnyOf(const char* from, const char* end) {
  while (end - from >= 8) {
    const std::uint64_t word = LoadWord(from);
    const std::uint64_t marked = (MarkEqual(word, Wanted) | ...);
    if (marked != 0) return from + FirstMarked(marked);
    from += 8;
  }
  while (from < end && ((*from != Wanted) && ...)) ++from;
  return from;
}

// The first byte not in `set` in [from, end), or `end`.
inline const char* SkipAll(const char* from, const char* end, const ByteSet& set) {
  while (from < end && set.Contains(*from)) ++from;
  return from;
}

// The first `wanted` in [from, end), or `end`. The distances between markup in a settings file are
// short, and a few words looked at in turn find a near byte sooner than a call; memchr takes over
// for a long run.
inline const char* FindByte(const char* from, const char* end, char wanted) {
  constexpr int kNearWords = 3;
  for (int word = 0; word < kNearWords; ++word) {
    if (end - from < 8) {
      while (from < end && *from != wanted) ++from;
      return from;
    }
    const std::uint64_t marked = MarkEqual(LoadWord(from), wanted);
    if (marked != 0) return from + FirstMarked(marked);
    from += 8;
  }
  const void* found = std::memchr(from, wanted, static_cast<std::size_t>(end - from));
  return found == nullptr ? end : static_cast<const char*>(found);
}

// The mask of the lowest `count` bytes of a word (at most eight).
constexpr std::uint64_t LowBytes(std::size_t count) {
  return count >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * count)) - 1;
}

// The bytes of `text` (at most eight) as one number, the first byte lowest, as ShortWord reads
// them.
constexpr std::uint64_t WordOf(std::string_view text) {
  std::uint64_t word = 0;
  for (std::size_t i = text.size(); i-- > 0;)
    word = (word << 8) | static_cast<unsigned char>(text[i]);
  return word;
}

// The `length` bytes (at most eight) at `at`, which lie before `end`, as one number, the first
// byte lowest: short names compare in one step.
inline std::uint64_t ShortWord(const char* at, const char* end, std::size_t length) {
  if (end - at < 8) return WordOf({at, length});
  return LoadWord(at) & LowBytes(length);
}

// Whether [at, end) starts with `text`.
inline bool StartsWith(const char* at, const char* end, std::string_view text) {
  return static_cast<std::size_t>(end - at) >= text.size() &&
         std::memcmp(at, text.data(), text.size()) == 0;
}

// The first place in [from, end) where all of `text`, a short closer such as "-->", stands, or
// `end`. Only where its last byte stands can it end: where that byte is rare, FindByte passes the
// long runs without it; where it is not, eight places are looked at a time for as long as it keeps
// standing among them, each byte of the closer compared in a word of its own, so that a run of
// near misses ("->->->") costs no more than any other text.
inline const char* FindText(const char* from, const char* end, std::string_view text) {
  const std::size_t before = text.size() - 1;
  while (true) {
    if (static_cast<std::size_t>(end - from) <= before) return end;
    const char* last = FindByte(from + before, end, text.back());
    if (last == end) return end;
    from = last - before;
    while (static_cast<std::size_t>(end - from) >= before + 8) {
      std::uint64_t starts = MarkEqualExactly(LoadWord(from + before), text.back());
      if (starts == 0) break;
      for (std::size_t i = 0; i < before; ++i)
        starts &= MarkEqualExactly(LoadWord(from + i), text[i]);
      if (starts != 0) return from + FirstMarked(starts);
      from += 8;
    }
    if (static_cast<std::size_t>(end - from) < before + 8) {
      for (; static_cast<std::size_t>(end - from) > before; ++from) {
        if (std::memcmp(from, text.data(), text.size()) == 0) return from;
      }
      return end;
    }
  }
}

// The first place in [from, end) where all of `text` stands outside double quotes, or `end`. A
// quote that is never closed hides the rest.
inline const char* FindTextOutsideQuotes(const char* from, const char* end, std::string_view text) {
  const char first = text.front();
  while (from < end) {
    if (*from == '"') {
      from = FindByte(from + 1, end, '"');
      if (from == end) return end;
    } else if (*from == first && StartsWith(from, end, text)) {
      return from;
    }
    ++from;
  }
  return end;
}

}  // namespace umbravista::property_list
