#include "tools/preview/ScreenJson.h"

#include <nlohmann/json.hpp>

#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace preview {
namespace {

using device::Message;

nlohmann::json ColourJson(const std::string& text) {
  return text.front() == '#' ? nlohmann::json(text) : nlohmann::json();
}

bool Answers(id object, const char* selector) {
  return class_respondsToSelector(object_getClass(object), sel_registerName(selector));
}

bool AttachedTo(id view, id root) {
  for (id current = view; current != nullptr; current = Message<id>(current, "superview")) {
    if (current == root) return true;
  }
  return false;
}

nlohmann::ordered_json ViewJson(const ScreenView& entry, id root) {
  id view = entry.view;
  const auto frame = Message<CGRect>(view, "frame");
  const std::string textColour =
      Answers(view, "textColor") ? device::ColorText(Message<id>(view, "textColor")) : "nil";
  return {
      {"class", object_getClassName(view)},
      {"path", entry.path},
      {"frame", {frame.origin.x, frame.origin.y, frame.size.width, frame.size.height}},
      {"backgroundColor", ColourJson(device::ColorText(Message<id>(view, "backgroundColor")))},
      {"borderColor", ColourJson(device::CGColorText(
                          Message<CGColorRef>(Message<id>(view, "layer"), "borderColor")))},
      {"textColor", ColourJson(textColour)},
      {"tintColor", ColourJson(device::ColorText(Message<id>(view, "tintColor")))},
      {"hidden", Message<bool>(view, "isHidden")},
      {"attached", AttachedTo(view, root)},
  };
}

}  // namespace

std::string ScreensJson(const std::vector<Screen>& screens) {
  device::PausedTrace quiet;
  // One view to a line, so that the output reads and compares line by line.
  std::string json = "{\"screens\": [";
  for (std::size_t s = 0; s < screens.size(); ++s) {
    json += (s == 0 ? "\n" : ",\n");
    json += "  {\"title\": " + nlohmann::json(screens[s].title).dump() + ", \"views\": [";
    for (std::size_t v = 0; v < screens[s].views.size(); ++v) {
      json +=
          (v == 0 ? "\n    " : ",\n    ") + ViewJson(screens[s].views[v], screens[s].root).dump();
    }
    json += "\n  ]}";
  }
  return json + "\n]}\n";
}

}  // namespace preview
