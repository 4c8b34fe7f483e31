#include "device/runtime/Trace.h"

#include <cstdio>
#include <mutex>

#include "device/filesystem/DeviceFileSystem.h"
#include "device/runtime/Runtime.h"

namespace device {
namespace {

struct SharedTrace {
  std::mutex mutex;
  std::vector<TraceCall> calls;  // Guarded by mutex.
};

// Never destroyed: objects that static destructors release at exit may still record.
SharedTrace& Shared() {
  static auto* trace = new SharedTrace;
  return *trace;
}

thread_local bool threadRecording = true;

int EightBit(double component) {
  return static_cast<int>(component * 255.0);
}

std::vector<TraceArgument> Rendered(std::initializer_list<TraceValue> arguments) {
  std::vector<TraceArgument> rendered;
  rendered.reserve(arguments.size());
  for (const TraceValue& argument : arguments) rendered.push_back(argument.Render());
  return rendered;
}

void Append(TraceCall call) {
  SharedTrace& trace = Shared();
  const std::lock_guard<std::mutex> lock(trace.mutex);
  trace.calls.push_back(std::move(call));
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
    CGFloat red = 0;
    CGFloat green = 0;
    CGFloat blue = 0;
    CGFloat alpha = 0;
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

bool Recording() {
  return threadRecording;
}

void RecordCall(id receiver, SEL selector, std::initializer_list<TraceValue> arguments) {
  if (!threadRecording) return;
  Append({receiver, object_getClassName(receiver), sel_getName(selector), Rendered(arguments)});
}

void RecordFunctionCall(const char* name, std::initializer_list<TraceValue> arguments) {
  if (!threadRecording) return;
  Append({nullptr, "", name, Rendered(arguments)});
}

std::vector<TraceCall> TraceCalls() {
  SharedTrace& trace = Shared();
  const std::lock_guard<std::mutex> lock(trace.mutex);
  return trace.calls;
}

namespace {

TraceArgument PathArgument(const char* path) {
  return {std::string("\"") + path + "\"", nullptr};
}

void RecordOpen(const char* devicePath, int, void*) {
  RecordFunctionCall("open", {TraceValue::Of<&PathArgument>(devicePath)});
}

}  // namespace

void RecordDeviceOpens(bool on) {
  if (on) {
    AddOpenObserver(&RecordOpen, nullptr);
  } else {
    RemoveOpenObserver(&RecordOpen);
  }
}

void ClearTrace() {
  SharedTrace& trace = Shared();
  const std::lock_guard<std::mutex> lock(trace.mutex);
  trace.calls.clear();
}

std::vector<TraceCall> CallsOf(const char* selector, id receiver) {
  SharedTrace& trace = Shared();
  const std::lock_guard<std::mutex> lock(trace.mutex);
  std::vector<TraceCall> found;
  for (const TraceCall& call : trace.calls) {
    if (call.selector == selector && (receiver == nullptr || call.receiver == receiver)) {
      found.push_back(call);
    }
  }
  return found;
}

std::size_t CountCalls(const char* selector, id receiver) {
  SharedTrace& trace = Shared();
  const std::lock_guard<std::mutex> lock(trace.mutex);
  std::size_t count = 0;
  for (const TraceCall& call : trace.calls) {
    if (call.selector == selector && (receiver == nullptr || call.receiver == receiver)) ++count;
  }
  return count;
}

PausedTrace::PausedTrace() : wasRecording_(threadRecording) {
  threadRecording = false;
}

PausedTrace::~PausedTrace() {
  threadRecording = wasRecording_;
}

}  // namespace device
