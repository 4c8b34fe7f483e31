#include "tools/studio/StudioSettings.h"

#include <plist/plist.h>

#include <algorithm>
#include <memory>

#include "device/colorpicker/ColorStringGrammar.h"
#include "tools/check/ColourStringForms.h"
#include "tools/check/ValueDescription.h"

namespace studio {

bool IsColourKey(std::string_view key) {
  return std::any_of(kColourFields.begin(), kColourFields.end(),
                     [key](const ColourField& field) { return field.key == key; });
}

void RequireColourString(std::string_view key, std::string_view text) {
  const std::string what = umbravista::check::Quoted(text);
  if (text.size() > kLongestColourString) {
    throw BadRequest(what + " is too long to be a colour string", std::string(key));
  }
  if (!device::ParseColorString(text)) {
    throw BadRequest(what + " names no colour (" + umbravista::check::WhyNamesNoColour(text) + ")",
                     std::string(key));
  }
}

std::string SettingsFileBytes(const StudioSettings& settings, device::PropertyListFormat format) {
  const std::unique_ptr<void, decltype(&plist_free)> root(plist_new_dict(), &plist_free);
  if (settings.enabled) {
    plist_dict_set_item(root.get(), "enabled", plist_new_bool(*settings.enabled));
  }
  for (const ColourField& field : kColourFields) {
    const auto found = settings.colours.find(field.key);
    if (found == settings.colours.end()) continue;
    plist_dict_set_item(root.get(), found->first.c_str(), plist_new_string(found->second.c_str()));
  }
  char* bytes = nullptr;
  uint32_t length = 0;
  if (format == device::PropertyListFormat::kXml) {
    plist_to_xml(root.get(), &bytes, &length);
  } else {
    plist_to_bin(root.get(), &bytes, &length);
  }
  std::string contents(bytes == nullptr ? "" : std::string(bytes, length));
  if (format == device::PropertyListFormat::kXml) {
    plist_to_xml_free(bytes);
  } else {
    plist_to_bin_free(bytes);
  }
  return contents;
}

}  // namespace studio
