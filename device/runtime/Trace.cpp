#include "device/runtime/Trace.h"

#include <cstdio>

#include "device/runtime/Runtime.h"

namespace device {
namespace {

struct TraceState {
  std::vector<TraceCall> calls;
  bool recording = true;
};

TraceState& State() {
  static TraceState state;
  return state;
}

int EightBit(double component) {
  return static_cast<int>(component * 255.0);
}

}  // namespace

std::string TraceCall::Describe() const {
  std::string text = receiverClass.empty() ? selector : receiverClass + " " + selector;
  for (const TraceArgument& argument : arguments) text += " " + argument.text;
  return text;
}

TraceArgument ObjectArgument(id object) {
  if (object == nullptr) return {"nil", nullptr};
  // Rendering sends messages of its own; they are not calls the test made.
  PausedTrace quiet;
  if (IsKindOf(object, "UIColor")) {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;
    if (!Message<bool>(object, "getRed:green:blue:alpha:", &red, &green, &blue, &alpha)) {
      return {"pattern", object};
    }
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", EightBit(red) & 0xFF,
                  EightBit(green) & 0xFF, EightBit(blue) & 0xFF, EightBit(alpha) & 0xFF);
    return {text, object};
  }
  if (IsKindOf(object, "NSString")) {
    return {std::string("\"") + Message<const char*>(object, "UTF8String") + "\"", object};
  }
  return {object_getClassName(object), object};
}

TraceArgument NumberArgument(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return {text, nullptr};
}

TraceArgument BoolArgument(bool value) {
  return {value ? "YES" : "NO", nullptr};
}

void RecordCall(id receiver, SEL selector, std::vector<TraceArgument> arguments) {
  TraceState& state = State();
  if (!state.recording) return;
  state.calls.push_back(
      {receiver, object_getClassName(receiver), sel_getName(selector), std::move(arguments)});
}

void RecordFunctionCall(const char* name, std::vector<TraceArgument> arguments) {
  TraceState& state = State();
  if (!state.recording) return;
  state.calls.push_back({nullptr, "", name, std::move(arguments)});
}

const std::vector<TraceCall>& TraceCalls() {
  return State().calls;
}

void ClearTrace() {
  State().calls.clear();
}

std::vector<TraceCall> CallsOf(const char* selector, id receiver) {
  std::vector<TraceCall> found;
  for (const TraceCall& call : State().calls) {
    if (call.selector == selector && (receiver == nullptr || call.receiver == receiver)) {
      found.push_back(call);
    }
  }
  return found;
}

std::size_t CountCalls(const char* selector, id receiver) {
  return CallsOf(selector, receiver).size();
}

PausedTrace::PausedTrace() : wasRecording_(State().recording) {
  State().recording = false;
}

PausedTrace::~PausedTrace() {
  State().recording = wasRecording_;
}

}  // namespace device
