#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// The scanning behind the NSScanner and NSCharacterSet stand-ins, as plain functions of UTF-8 text,
// with ICU's Unicode tables standing in for the device's.
namespace device {

// The character sets that the stand-in of NSCharacterSet offers.
enum class CharacterSetKind {
  kSymbols,                // symbolCharacterSet: the categories Sm, Sc, Sk and So.
  kWhitespaceAndNewlines,  // whitespaceAndNewlineCharacterSet: Z*, U+0009 to U+000D and U+0085.
};

// Whether the code point belongs to the set.
bool IsMember(CharacterSetKind set, char32_t codePoint);

// What scanHexInt: found: the number, and the byte offset just after its last digit.
struct HexScan {
  std::uint32_t value;
  std::size_t end;
};

// Scans as NSScanner scanHexInt: does, from the byte offset `location` of `utf8Text`: characters
// of `skipped` are passed over first (none when it is nullopt; an ill-formed UTF-8 sequence ends
// the skipping), then an optional "0x" or "0X" is taken when a hexadecimal digit follows it, then
// hexadecimal digits of either case as far as they go. A number too large for 32 bits answers
// 0xFFFFFFFF, all of its digits consumed. nullopt when no digit stands where the number should
// start, or `location` lies beyond the text.
std::optional<HexScan> ScanHexInt(std::string_view utf8Text, std::size_t location,
                                  std::optional<CharacterSetKind> skipped);

}  // namespace device
