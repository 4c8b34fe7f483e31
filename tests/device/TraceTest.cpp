// The trace renders what it is given only while the calling thread records: a paused call
// formats nothing and allocates nothing, and a recorded one reads as it always has.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "device/CoreGraphics/CoreGraphicsDevice.h"
#include "device/Foundation/Foundation.h"
#include "device/QuartzCore/QuartzCoreDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// Counts this thread's allocations through operator new, which every std::string and std::vector
// of the trace goes through.
namespace {
thread_local long allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace device {
namespace {

// A UIColor that counts how often it is asked for its components, which is how the trace renders
// a colour.
long componentReads = 0;

bool CountingGetRed(id self, SEL selector, double* red, double* green, double* blue,
                    double* alpha) {
  ++componentReads;
  return MessageSuper<bool>(self, objc_getClass("CountingColor"), sel_getName(selector), red, green,
                            blue, alpha);
}

id NewCountingColor() {
  return Message<id>(Message<id>(reinterpret_cast<id>(objc_getClass("CountingColor")), "alloc"),
                     "initWithRed:green:blue:alpha:", 1.0, 0.5, 0.0, 1.0);
}

// A stand-in method that takes a colour, and what it is sent to.
struct ColourSend {
  const char* receiverClass;
  const char* selector;
};

TEST(TraceTest, APausedCallNeverRendersAColourItIsGiven) {
  const ColourSend sends[] = {{"UIView", "setBackgroundColor:"},
                              {"UIView", "setTintColor:"},
                              {"UILabel", "setTextColor:"},
                              {"UIImageView", "setBackgroundColor:"},
                              {"UIColor", "isEqual:"}};
  id colour = NewCountingColor();
  for (const ColourSend& send : sends) {
    for (const bool recording : {false, true}) {
      SCOPED_TRACE(std::string(send.receiverClass) + " " + send.selector +
                   (recording ? ", recording" : ", paused"));
      id receiver = std::string(send.receiverClass) == "UIColor" ? NewRGBColor(0, 0, 0, 1)
                                                                 : NewView(send.receiverClass);
      ClearTrace();
      componentReads = 0;
      {
        std::optional<PausedTrace> quiet;
        if (!recording) quiet.emplace();
        Message(receiver, send.selector, colour);
      }
      // Recording renders the colour once, into "#FF7F00FF"; pausing must not render it at all.
      EXPECT_EQ(componentReads, recording ? 1 : 0);
      const std::vector<TraceCall> calls = CallsOf(send.selector, receiver);
      EXPECT_EQ(calls.size(), recording ? 1U : 0U);
      if (!calls.empty()) {
        EXPECT_EQ(calls[0].arguments.at(0).text, "#FF7F00FF");
      }
      Message(receiver, "release");
    }
  }
  Message(colour, "release");
}

TEST(TraceTest, APausedCallAllocatesNothing) {
  id view = NewView("UIView");
  id colour = NewRGBColor(0.2, 0.4, 0.6, 1.0);
  SEL selector = sel_registerName("setFrame:");
  for (const bool recording : {false, true}) {
    SCOPED_TRACE(recording ? "recording" : "paused");
    std::optional<PausedTrace> quiet;
    if (!recording) quiet.emplace();
    const long before = allocations;
    RecordCall(view, selector,
               {TracedObject(colour), TracedRect({{1, 2}, {3, 4}}), TracedNumber(2),
                TracedBool(true), TracedCGColor(nullptr)});
    RecordFunctionCall("CGContextFillRect", {TracedRect({{0, 0}, {1, 1}})});
    EXPECT_EQ(allocations != before, recording);
  }
  ClearTrace();
  Message(colour, "release");
  Message(view, "release");
}

// What each kind of argument reads as once recorded.
struct Rendering {
  const char* what;
  TraceValue value;
  std::string expected;
};

TEST(TraceTest, RendersEachKindOfArgumentAsItAlwaysHas) {
  id grey = NewGreyColor(1.0, 0.5);
  id pattern = NewPatternColor();
  id text = NewString("Umbra");
  id number = NewIntegerNumber(7);
  CGColorRef cgColor = CGColorCreateSRGB(0.0, 0.5, 1.0, 1.0);
  const Rendering renderings[] = {
      {"grey colour", TracedObject(grey), "#FFFFFF7F"},
      {"pattern colour", TracedObject(pattern), "pattern"},
      {"string", TracedObject(text), "\"Umbra\""},
      {"other object", TracedObject(number), "NSNumber"},
      {"nil", TracedObject(nullptr), "nil"},
      {"number", TracedNumber(0.25), "0.25"},
      {"large number", TracedNumber(1e6), "1e+06"},
      {"truth", TracedBool(false), "NO"},
      {"rectangle", TracedRect({{0, 20}, {375, 44.5}}), "{0,20,375,44.5}"},
      {"size", TracedSize({10.2, 3}), "{10.2,3}"},
      {"CGColor", TracedCGColor(cgColor), "#007FFFFF"},
      {"no CGColor", TracedCGColor(nullptr), "NULL"},
  };
  for (const Rendering& rendering : renderings) {
    SCOPED_TRACE(rendering.what);
    ClearTrace();
    RecordFunctionCall("Probe", {rendering.value});
    const std::vector<TraceCall> calls = TraceCalls();
    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(calls[0].Describe(), "Probe " + rendering.expected);
  }
  ClearTrace();
  RecordFunctionCall("Probe", {TracedObject(text), TracedNumber(1)});
  EXPECT_EQ(TraceCalls().at(0).arguments.at(0).object, text) << "an object argument keeps it";
  EXPECT_EQ(TraceCalls().at(0).arguments.at(1).object, nullptr);
  ClearTrace();
  CGColorRelease(cgColor);
  for (id made : {grey, pattern, text, number}) Message(made, "release");
}

}  // namespace
}  // namespace device

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  device::StartRuntime();
  device::RegisterFoundation();
  device::RegisterQuartzCore();
  device::RegisterUIKit();
  device::DefineClass("CountingColor", "UIColor", {}, [](Class cls) {
    device::AddInstanceMethod(cls, "getRed:green:blue:alpha:", &device::CountingGetRed,
                              "C@:^d^d^d^d");
  });
  return RUN_ALL_TESTS();
}
