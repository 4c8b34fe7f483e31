// The hooking layer as the library relies on it, and as Substrate behaves on a device: a hook on a
// class changes that class and its subclasses only, and saves the implementation in force.
#include "substrate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/runtime/Runtime.h"
#include "device/substrate/HookRecord.h"

namespace device {
namespace {

// Each implementation answers a number that names it, so that a result shows which one ran.
long Base(id, SEL, long argument) {
  return 1000 + argument;
}
long Child(id, SEL, long argument) {
  return 2000 + argument;
}
long First(id, SEL, long argument) {
  return 8000 + argument;
}
long Second(id, SEL, long argument) {
  return 9000 + argument;
}

id Instance(const char* className) {
  return class_createInstance(objc_getClass(className), 0);
}

IMP Hook(const char* className, bool classMethod, const char* selector,
         long (*with)(id, SEL, long)) {
  Class cls = objc_getClass(className);
  if (classMethod && cls != nullptr) cls = object_getClass(reinterpret_cast<id>(cls));
  IMP saved = nullptr;
  MSHookMessageEx(cls, selector == nullptr ? nullptr : sel_registerName(selector),
                  AsImplementation(with), &saved);
  return saved;
}

// A hook, what the implementation it saved answers for 1, and what each class answers for 1 after
// it. Hooks stay for the whole process, so each row builds on the rows above it.
struct HookCase {
  const char* className;
  bool classMethod;
  const char* selector;
  long (*replacement)(id, SEL, long);
  std::string record;
  long saved;  // 0: no implementation saved.
  long base, child, grandchild;
};

TEST(MSHookMessageExTest, ChangesTheClassAndItsSubclassesAndSavesWhatWasInForce) {
  const HookCase cases[] = {
      {"HookBase", false, "own:", &First, "-[HookBase own:]", 1001, 8001, 8001, 8001},
      // Inherited: added to the child itself, the base keeps its own.
      {"HookChild", false, "inherited:", &First, "-[HookChild inherited:]", 1001, 1001, 8001, 8001},
      // An override: the base's own method stays.
      {"HookChild", false, "overridden:", &First, "-[HookChild overridden:]", 2001, 1001, 8001,
       8001},
      // Subclasses messaged before see a hook of their superclass at once. The base hooked
      // first: the child's hook saves the base's replacement.
      {"HookBase", false, "layered:", &First, "-[HookBase layered:]", 1001, 8001, 8001, 8001},
      {"HookChild", false, "layered:", &Second, "-[HookChild layered:]", 8001, 8001, 9001, 9001},
      {"HookChild", true, "classLevel:", &First, "+[HookChild classLevel:]", 1001, 1001, 8001,
       8001},
      {"HookMissing", false, "own:", &First, "-[nil own:] skipped", 0, 0, 0, 0},
      {"HookBase", false, "absent:", &First, "-[HookBase absent:] skipped", 0, 0, 0, 0},
      {"HookChild", true, "absent:", &First, "+[HookChild absent:] skipped", 0, 0, 0, 0},
  };
  for (const HookCase& c : cases) {
    SCOPED_TRACE(c.record);
    const IMP saved = Hook(c.className, c.classMethod, c.selector, c.replacement);
    EXPECT_EQ(Describe(HookRecords().back()), c.record);
    EXPECT_EQ(saved == nullptr ? 0 : AsFunction<long(id, SEL, long)>(saved)(nullptr, nullptr, 1),
              c.saved);
    if (c.saved == 0) {
      // Nothing was added for a selector that no class answers.
      Class child = objc_getClass("HookChild");
      EXPECT_FALSE(class_respondsToSelector(child, sel_registerName("absent:")));
      EXPECT_FALSE(class_respondsToSelector(object_getClass(reinterpret_cast<id>(child)),
                                            sel_registerName("absent:")));
      continue;
    }
    long answers[3] = {};
    const char* classes[] = {"HookBase", "HookChild", "HookGrandchild"};
    for (int i = 0; i < 3; ++i) {
      id receiver =
          c.classMethod ? reinterpret_cast<id>(objc_getClass(classes[i])) : Instance(classes[i]);
      answers[i] = Message<long>(receiver, c.selector, 1L);
      if (!c.classMethod) object_dispose(receiver);
    }
    EXPECT_EQ(std::vector<long>(answers, answers + 3),
              (std::vector<long>{c.base, c.child, c.grandchild}));
  }
}

}  // namespace
}  // namespace device

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  device::StartRuntime();
  device::DefineClass("HookBase", nullptr, {}, [](Class cls) {
    for (const char* selector : {"own:", "inherited:", "overridden:", "layered:"}) {
      device::AddInstanceMethod(cls, selector, &device::Base);
    }
    device::AddClassMethod(cls, "classLevel:", &device::Base);
  });
  device::DefineClass("HookChild", "HookBase", {}, [](Class cls) {
    device::AddInstanceMethod(cls, "overridden:", &device::Child);
  });
  device::DefineClass("HookGrandchild", "HookChild", {}, [](Class) {});
  return RUN_ALL_TESTS();
}
