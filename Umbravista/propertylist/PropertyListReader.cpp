#include "propertylist/PropertyListReader.h"

#include <cstring>

#include "propertylist/PropertyListForms.h"

namespace umbravista {
namespace {

SettingsLookup Read(PropertyListSpace space, std::string_view key, RootEntryVisitor* visitor) {
  // libplist reads nothing shorter than the binary form's magic, in either form.
  constexpr std::size_t kShortest = 8;
  if (space.document.size() < kShortest || space.document.size() > kLargestDocument) return {};
  if (property_list::IsBinaryForm(space.document)) {
    return property_list::ReadBinary(space.document, space.work, key, visitor);
  }
  return property_list::ReadXml(space.document, key, visitor);
}

}  // namespace

namespace property_list {

bool IsBinaryForm(std::span<const char> document) {
  return document.size() >= 8 && std::memcmp(document.data(), "bplist00", 8) == 0;
}

}  // namespace property_list

SettingsLookup LookUpKey(PropertyListSpace space, std::string_view key) {
  return Read(space, key, nullptr);
}

SettingsLookup VisitRootEntries(PropertyListSpace space, RootEntryVisitor& visitor) {
  SettingsLookup answer = Read(space, {}, &visitor);
  answer.value.reset();
  return answer;
}

}  // namespace umbravista
