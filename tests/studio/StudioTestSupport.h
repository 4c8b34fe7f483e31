#pragma once

#include <string>
#include <utility>
#include <vector>

// Small helpers shared by the studio's tests.
namespace studio::testing {

// A settings file as XML: each entry a key and its value element as written
// ("<string>#FFF</string>",
// "<true/>", "<integer>5</integer>"), in the order given.
inline std::string XmlSettings(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
  for (const auto& [key, value] : entries) {
    xml.append("<key>").append(key).append("</key>").append(value).append("\n");
  }
  return xml + "</dict>\n</plist>\n";
}

inline std::string String(const std::string& text) {
  return "<string>" + text + "</string>";
}

}  // namespace studio::testing
