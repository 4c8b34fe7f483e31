#include "device/propertylist/BinaryPlistBuilder.h"

#include <cstring>

namespace device {
namespace {

std::size_t BytesFor(std::uint64_t largest) {
  std::size_t bytes = 1;
  while (bytes < 8 && (largest >> (8 * bytes)) != 0) ++bytes;
  return bytes;
}

void AppendBigEndian(std::string& out, std::uint64_t value, std::size_t bytes) {
  for (std::size_t i = bytes; i-- > 0;) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A marker whose low four bits hold `count`, or 0xF followed by an integer object holding it.
std::string Marker(std::uint8_t type, std::size_t count) {
  std::string out;
  if (count < 15) {
    out.push_back(static_cast<char>(type | count));
    return out;
  }
  out.push_back(static_cast<char>(type | 0x0F));
  std::uint8_t power = 0;
  while ((std::size_t{1} << power) < BytesFor(count)) ++power;
  out.push_back(static_cast<char>(0x10 | power));
  AppendBigEndian(out, count, std::size_t{1} << power);
  return out;
}

}  // namespace

BinaryPlistBuilder::Object BinaryPlistBuilder::Scalar(std::string bytes) {
  Object object;
  object.scalar = std::move(bytes);
  return object;
}

BinaryPlistBuilder::Index BinaryPlistBuilder::Add(Object object) {
  objects_.push_back(std::move(object));
  return objects_.size() - 1;
}

BinaryPlistBuilder::Index BinaryPlistBuilder::Boolean(bool value) {
  return Add(Scalar(std::string(1, static_cast<char>(value ? 0x09 : 0x08))));
}

BinaryPlistBuilder::Index BinaryPlistBuilder::Integer(std::uint64_t value) {
  std::string bytes(1, static_cast<char>(0x13));
  AppendBigEndian(bytes, value, 8);
  return Add(Scalar(bytes));
}

BinaryPlistBuilder::Index BinaryPlistBuilder::Real(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  std::string bytes(1, static_cast<char>(0x23));
  AppendBigEndian(bytes, bits, 8);
  return Add(Scalar(bytes));
}

BinaryPlistBuilder::Index BinaryPlistBuilder::Ascii(std::string_view text) {
  return Add(Scalar(Marker(0x50, text.size()) + std::string(text)));
}

BinaryPlistBuilder::Index BinaryPlistBuilder::Utf16(std::u16string_view text) {
  std::string bytes = Marker(0x60, text.size());
  for (const char16_t unit : text) AppendBigEndian(bytes, unit, 2);
  return Add(Scalar(bytes));
}

BinaryPlistBuilder::Index BinaryPlistBuilder::Data(std::string_view bytes) {
  return Add(Scalar(Marker(0x40, bytes.size()) + std::string(bytes)));
}

BinaryPlistBuilder::Index BinaryPlistBuilder::Raw(std::string bytes) {
  return Add(Scalar(std::move(bytes)));
}

BinaryPlistBuilder::Index BinaryPlistBuilder::Array(std::vector<Index> elements) {
  return Add(Container(0xA0, std::move(elements)));
}

BinaryPlistBuilder::Index BinaryPlistBuilder::Set(std::vector<Index> elements) {
  return Add(Container(0xC0, std::move(elements)));
}

BinaryPlistBuilder::Object BinaryPlistBuilder::Container(std::uint8_t marker,
                                                         std::vector<Index> elements) {
  const std::size_t count = elements.size();
  Object object;
  object.containerMarker = marker;
  object.references = std::move(elements);
  object.count = count;
  return object;
}

BinaryPlistBuilder::Index BinaryPlistBuilder::Dictionary(
    const std::vector<std::pair<Index, Index>>& entries) {
  std::vector<Index> references;
  references.reserve(2 * entries.size());
  for (const auto& entry : entries) references.push_back(entry.first);
  for (const auto& entry : entries) references.push_back(entry.second);
  Object object;
  object.containerMarker = 0xD0;
  object.references = std::move(references);
  object.count = entries.size();
  return Add(std::move(object));
}

void BinaryPlistBuilder::SetElements(Index array, std::vector<Index> elements) {
  objects_[array].count = elements.size();
  objects_[array].references = std::move(elements);
}

std::string BinaryPlistBuilder::Build(Index root) const {
  const std::size_t refSize = BytesFor(objects_.empty() ? 0 : objects_.size() - 1);
  std::string out = "bplist00";
  std::vector<std::uint64_t> offsets;
  for (const Object& object : objects_) {
    offsets.push_back(out.size());
    if (object.containerMarker == 0) {
      out += object.scalar;
      continue;
    }
    out += Marker(object.containerMarker, object.count);
    for (const Index reference : object.references) AppendBigEndian(out, reference, refSize);
  }
  const std::uint64_t tableOffset = out.size();
  const std::size_t offsetSize = BytesFor(tableOffset);
  for (const std::uint64_t offset : offsets) AppendBigEndian(out, offset, offsetSize);
  out.append(6, '\0');
  out.push_back(static_cast<char>(offsetSize));
  out.push_back(static_cast<char>(refSize));
  AppendBigEndian(out, objects_.size(), 8);
  AppendBigEndian(out, root, 8);
  AppendBigEndian(out, tableOffset, 8);
  return out;
}

}  // namespace device
