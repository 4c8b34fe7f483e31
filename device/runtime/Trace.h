#pragma once

#include <objc/runtime.h>

#include <cstddef>
#include <string>
#include <vector>

// The simulated device's record of the calls that reach its stand-in methods, in the order in
// which they happened, so that tests can see order, counts and values. Every stand-in method that
// a replacement can reach records itself here.
namespace device {

struct TraceArgument {
  std::string text;     // A readable form: "#FFFFFFFF" for a colour, "nil", "YES", "2".
  id object = nullptr;  // The object passed, where the argument is one.
};

struct TraceCall {
  id receiver;                // nil for a C function.
  std::string receiverClass;  // "" for a C function.
  std::string selector;       // The function's name for a C function.
  std::vector<TraceArgument> arguments;

  // "UIView setBackgroundColor: #000000FF": class, selector, then each argument's text. A C
  // function's call reads "CGContextFillRect CGContext {0,0,24,24}": its name, then its arguments.
  [[nodiscard]] std::string Describe() const;
};

// Renders an object argument: a colour as "#RRGGBBAA" (components times 255, truncated), a
// string in quotes, nil as "nil", anything else as its class name.
TraceArgument ObjectArgument(id object);
TraceArgument NumberArgument(double value);
TraceArgument BoolArgument(bool value);

// Appends one call. Does nothing while recording is paused.
void RecordCall(id receiver, SEL selector, std::vector<TraceArgument> arguments = {});
// Appends one call of the C function named `name` (CoreGraphics and UIKit functions), with no
// receiver; CallsOf and CountCalls find it by that name. Does nothing while recording is paused.
void RecordFunctionCall(const char* name, std::vector<TraceArgument> arguments = {});

// The calls recorded since the last ClearTrace, oldest first.
const std::vector<TraceCall>& TraceCalls();
void ClearTrace();

// The calls whose selector is `selector` (and, when given, whose receiver is `receiver`).
std::vector<TraceCall> CallsOf(const char* selector, id receiver = nullptr);
std::size_t CountCalls(const char* selector, id receiver = nullptr);

// Stops and restarts recording; a test host pauses it while building its screens so that the
// trace holds only what the test did.
class PausedTrace {
 public:
  PausedTrace();
  ~PausedTrace();
  PausedTrace(const PausedTrace&) = delete;
  PausedTrace& operator=(const PausedTrace&) = delete;

 private:
  bool wasRecording_;
};

}  // namespace device
