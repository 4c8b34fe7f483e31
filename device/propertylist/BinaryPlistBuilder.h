#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Builds binary property lists object by object, with references chosen freely, so that tests,
// benchmarks and fuzzers can make what no writer makes: references shared many times over, cycles, keys that are not
// strings, deep nesting. Sizes of references and offsets are the smallest that fit, as writers
// choose them.
namespace device {

class BinaryPlistBuilder {
 public:
  using Index = std::size_t;

  Index Boolean(bool value);
  Index Integer(std::uint64_t value);  // Written in 8 bytes.
  Index Real(double value);
  Index Ascii(std::string_view text);
  Index Utf16(std::u16string_view text);
  Index Data(std::string_view bytes);
  // An object written exactly as given, marker included, with no references.
  Index Raw(std::string bytes);
  // Containers; references may name objects added later, or the container itself.
  Index Array(std::vector<Index> elements);
  Index Set(std::vector<Index> elements);
  Index Dictionary(const std::vector<std::pair<Index, Index>>& entries);
  // Changes the references of a container already added.
  void SetElements(Index array, std::vector<Index> elements);

  [[nodiscard]] Index Count() const { return objects_.size(); }

  // The document with `root` as its root object.
  [[nodiscard]] std::string Build(Index root) const;

 private:
  struct Object {
    std::string scalar;                // The whole encoding of an object without references.
    std::uint8_t containerMarker = 0;  // 0xA0, 0xC0 or 0xD0 for a container.
    std::vector<Index> references;     // For a dictionary: the keys, then the values.
    std::size_t count = 0;
  };
  static Object Scalar(std::string bytes);
  static Object Container(std::uint8_t marker, std::vector<Index> elements);
  Index Add(Object object);

  std::vector<Object> objects_;
};

}  // namespace device
