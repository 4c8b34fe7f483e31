#pragma once

#include <objc/runtime.h>

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

// The simulated device's record of the calls that reach its stand-in methods, in the order in
// which they happened, so that tests can see order, counts and values. Every stand-in method that
// a replacement can reach records itself here.
//
// Threads. Any thread may record, read or clear at any time. Calls from every thread go into one
// trace, in the order in which they were appended; each call is appended whole, never interleaved
// with another. Pausing belongs to a thread: a PausedTrace stops the recording of the thread that
// made it and of no other, and every thread starts out recording. Arguments are rendered to text on
// the calling thread before the append and outside the trace's lock, and only while that thread
// records, so a paused call costs no formatting and no allocation.
namespace device {

// An argument as the trace keeps it, rendered when the call was recorded.
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

// Render an argument now, as the trace shows it: an object as a colour "#RRGGBBAA" (components
// times 255, truncated; "pattern" for a colour with no RGBA form), a string in quotes, nil as
// "nil", anything else as its class name; a number with "%g"; a truth value as "YES" or "NO".
// Rendering sends messages of its own (a colour's getRed:green:blue:alpha:, a string's
// UTF8String) with the calling thread's recording paused. For reading and comparing values;
// RecordCall takes TraceValues, never these.
TraceArgument ObjectArgument(id object);
TraceArgument NumberArgument(double value);
TraceArgument BoolArgument(bool value);

// An argument as a stand-in hands it to RecordCall: a copy of the value (at most 32 bytes, and
// trivially copyable, such as an object pointer, a number or a rectangle) and the function that
// renders it. The function runs only when the calling thread records, inside RecordCall, so that a
// paused call formats nothing; it must not keep the value. A TraceValue is made only through
// TraceValue::Of and the Traced... functions, never from text, so that text cannot be formatted
// ahead of the recording path by mistake.
class TraceValue {
 public:
  // The subject is often a pointer: its own size is what is copied, hence the NOLINTs.
  template <auto kRender, typename Subject>
  static TraceValue Of(const Subject& subject) noexcept {
    static_assert(std::is_trivially_copyable_v<Subject> &&
                      std::is_default_constructible_v<Subject> &&
                      sizeof(Subject) <= kCapacity,  // NOLINT(bugprone-sizeof-expression)
                  "a trace value holds a small trivially copyable copy of its subject");
    static_assert(std::is_invocable_r_v<TraceArgument, decltype(kRender), const Subject&>,
                  "the renderer takes the subject and answers a TraceArgument");
    TraceValue value(&RenderCopy<kRender, Subject>);
    std::memcpy(value.subject_, &subject, sizeof(Subject));  // NOLINT(bugprone-sizeof-expression)
    return value;
  }

  // Runs the renderer on the copy of the subject.
  [[nodiscard]] TraceArgument Render() const { return render_(subject_); }

 private:
  static constexpr std::size_t kCapacity = 32;
  using Renderer = TraceArgument (*)(const unsigned char*);

  explicit TraceValue(Renderer render) noexcept : render_(render) {}

  template <auto kRender, typename Subject>
  static TraceArgument RenderCopy(const unsigned char* bytes) {
    Subject subject;
    std::memcpy(&subject, bytes, sizeof(Subject));  // NOLINT(bugprone-sizeof-expression)
    return kRender(subject);
  }

  Renderer render_;
  alignas(std::max_align_t) unsigned char subject_[kCapacity] = {};
};

// The values most stand-ins pass, rendered as ObjectArgument, NumberArgument and BoolArgument.
inline TraceValue TracedObject(id object) {
  return TraceValue::Of<&ObjectArgument>(object);
}
inline TraceValue TracedNumber(double value) {
  return TraceValue::Of<&NumberArgument>(value);
}
inline TraceValue TracedBool(bool value) {
  return TraceValue::Of<&BoolArgument>(value);
}

// Whether the calling thread records now.
bool Recording();

// Appends one call, its arguments rendered in order. Does nothing, and renders and allocates
// nothing, while the calling thread's recording is paused.
void RecordCall(id receiver, SEL selector, std::initializer_list<TraceValue> arguments = {});
// Appends one call of the C function named `name` (CoreGraphics and UIKit functions), with no
// receiver; CallsOf and CountCalls find it by that name. Does nothing while the calling thread's
// recording is paused.
void RecordFunctionCall(const char* name, std::initializer_list<TraceValue> arguments = {});

// A copy of the calls recorded since the last ClearTrace, oldest first.
std::vector<TraceCall> TraceCalls();
// Forgets every call recorded so far, whichever thread recorded it.
void ClearTrace();

// The calls whose selector is `selector` (and, when given, whose receiver is `receiver`).
std::vector<TraceCall> CallsOf(const char* selector, id receiver = nullptr);
std::size_t CountCalls(const char* selector, id receiver = nullptr);

// Whether the trace also records each open of a device path (the library's reads of its
// settings) as a call of the function "open" with the path, as it happens, so that tests see
// where the reads fall among the calls of the stand-ins. Off unless a test turns it on; the
// setting holds for every thread.
void RecordDeviceOpens(bool on);

// Stops the calling thread's recording until it ends, then restores what was in force before, so
// that pauses nest. A test host pauses while building its screens so that the trace holds only
// what the test did. Must end on the thread that made it, as a scoped object does.
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
