#include "tools/preview/ScreenJson.h"

#include <cstdio>

#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace preview {
namespace {

using device::Message;

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::string ColourJson(const std::string& text) {
  return text.front() == '#' ? Quoted(text) : "null";
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
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

std::string ViewJson(const ScreenView& entry, id root) {
  id view = entry.view;
  const CGRect frame = Message<CGRect>(view, "frame");
  const std::string textColour =
      Answers(view, "textColor") ? device::ColorText(Message<id>(view, "textColor")) : "nil";
  std::string json = "{\"class\": " + Quoted(object_getClassName(view));
  json += ", \"path\": " + Quoted(entry.path);
  json += ", \"frame\": [" + Number(frame.origin.x) + ", " + Number(frame.origin.y) + ", " +
          Number(frame.size.width) + ", " + Number(frame.size.height) + "]";
  json += ", \"backgroundColor\": " +
          ColourJson(device::ColorText(Message<id>(view, "backgroundColor")));
  json += ", \"borderColor\": " + ColourJson(device::CGColorText(Message<CGColorRef>(
                                      Message<id>(view, "layer"), "borderColor")));
  json += ", \"textColor\": " + ColourJson(textColour);
  json += ", \"tintColor\": " + ColourJson(device::ColorText(Message<id>(view, "tintColor")));
  json += std::string(", \"hidden\": ") + (Message<bool>(view, "isHidden") ? "true" : "false");
  json += std::string(", \"attached\": ") + (AttachedTo(view, root) ? "true" : "false") + "}";
  return json;
}

}  // namespace

std::string ScreensJson(const std::vector<Screen>& screens) {
  device::PausedTrace quiet;
  std::string json = "{\"screens\": [";
  for (std::size_t s = 0; s < screens.size(); ++s) {
    json += (s == 0 ? "\n" : ",\n");
    json += "  {\"title\": " + Quoted(screens[s].title) + ", \"views\": [";
    for (std::size_t v = 0; v < screens[s].views.size(); ++v) {
      json += (v == 0 ? "\n    " : ",\n    ") + ViewJson(screens[s].views[v], screens[s].root);
    }
    json += "\n  ]}";
  }
  return json + "\n]}\n";
}

}  // namespace preview
