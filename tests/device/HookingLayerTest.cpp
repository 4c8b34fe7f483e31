#include "substrate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "device/runtime/Runtime.h"
#include "device/substrate/HookRecord.h"

namespace device {
namespace {

// Each method answers a value that names the implementation that ran, so that a result shows
// which implementation a message reached.
long BaseMethod(id, SEL, long argument) {
  return 1000 + argument;
}
long ChildMethod(id, SEL, long argument) {
  return 2000 + argument;
}

struct Entry {
  id receiver;
  std::string selector;
  long argument;
  bool operator==(const Entry&) const = default;
};
std::vector<Entry> entries;

long FirstReplacement(id self, SEL selector, long argument) {
  entries.push_back({self, sel_getName(selector), argument});
  return 8000 + argument;
}
long SecondReplacement(id self, SEL selector, long argument) {
  entries.push_back({self, sel_getName(selector), argument});
  return 9000 + argument;
}

// Every test hooks selectors of its own, since hooks stay in place for the whole process.
constexpr const char* kBaseSelectors[] = {"own:", "inherited:", "layered:", "overridden:"};

Class base;
Class child;
Class grandchild;
id baseObject;
id childObject;
id grandchildObject;

void DefineTestClasses() {
  base = DefineClass("HookTestBase", nullptr, {}, [](Class cls) {
    for (const char* selector : kBaseSelectors)
      AddInstanceMethod(cls, selector, &BaseMethod, "q@:q");
    AddClassMethod(cls, "classLevel:", &BaseMethod, "q@:q");
  });
  child = DefineClass("HookTestChild", "HookTestBase", {}, [](Class cls) {
    AddInstanceMethod(cls, "overridden:", &ChildMethod, "q@:q");
  });
  grandchild = DefineClass("HookTestGrandchild", "HookTestChild", {}, [](Class) {});
  baseObject = class_createInstance(base, 0);
  childObject = class_createInstance(child, 0);
  grandchildObject = class_createInstance(grandchild, 0);
}

IMP Hook(Class cls, const char* selector, long (*replacement)(id, SEL, long)) {
  IMP saved = nullptr;
  MSHookMessageEx(cls, selector == nullptr ? nullptr : sel_registerName(selector),
                  AsImplementation(replacement), &saved);
  return saved;
}

long Send(id receiver, const char* selector, long argument) {
  return Message<long>(receiver, selector, argument);
}
long CallSaved(IMP saved, id receiver, const char* selector, long argument) {
  return AsFunction<long(id, SEL, long)>(saved)(receiver, sel_registerName(selector), argument);
}

// "HookTestBase +classLevel: installed", "nil -own: skipped".
std::string Describe(const HookRecord& record) {
  return (record.className.empty() ? "nil" : record.className) + (record.metaclass ? " +" : " -") +
         record.selector + (record.installed ? " installed" : " skipped");
}
std::string LastRecord() {
  return HookRecords().empty() ? "none" : Describe(HookRecords().back());
}

bool DefinesItself(Class cls, const char* selector) {
  unsigned int count = 0;
  Method* methods = class_copyMethodList(cls, &count);
  bool found = false;
  for (unsigned int i = 0; i < count; ++i) {
    found = found || sel_isEqual(method_getName(methods[i]), sel_registerName(selector));
  }
  std::free(methods);
  return found;
}

TEST(MSHookMessageExTest, ReplacesAMethodOfTheClassAndSavesTheOneItReplaced) {
  IMP saved = Hook(base, "own:", &FirstReplacement);
  EXPECT_EQ(LastRecord(), "HookTestBase -own: installed");
  entries.clear();
  EXPECT_EQ(Send(baseObject, "own:", 5), 8005);
  EXPECT_EQ(entries, (std::vector<Entry>{{baseObject, "own:", 5}}));
  EXPECT_EQ(saved, AsImplementation(&BaseMethod));
  EXPECT_EQ(CallSaved(saved, baseObject, "own:", 5), 1005);
}

TEST(MSHookMessageExTest, AddsAnInheritedMethodToTheClassAndLeavesTheSuperclassAlone) {
  IMP saved = Hook(child, "inherited:", &FirstReplacement);
  EXPECT_TRUE(DefinesItself(child, "inherited:"));
  EXPECT_EQ(saved, AsImplementation(&BaseMethod));
  entries.clear();
  EXPECT_EQ(Send(childObject, "inherited:", 1), 8001);
  EXPECT_EQ(Send(grandchildObject, "inherited:", 2), 8002);
  EXPECT_EQ(Send(baseObject, "inherited:", 3), 1003);
  EXPECT_EQ(entries, (std::vector<Entry>{{childObject, "inherited:", 1},
                                         {grandchildObject, "inherited:", 2}}));
}

TEST(MSHookMessageExTest, SavesTheSuperclassReplacementInForceForAnInheritedMethod) {
  IMP baseSaved = Hook(base, "layered:", &FirstReplacement);
  IMP childSaved = Hook(child, "layered:", &SecondReplacement);
  EXPECT_EQ(baseSaved, AsImplementation(&BaseMethod));
  EXPECT_EQ(childSaved, AsImplementation(&FirstReplacement));
  entries.clear();
  EXPECT_EQ(Send(childObject, "layered:", 1), 9001);
  EXPECT_EQ(CallSaved(childSaved, childObject, "layered:", 2), 8002);
  EXPECT_EQ(Send(baseObject, "layered:", 3), 8003);
  EXPECT_EQ(entries, (std::vector<Entry>{{childObject, "layered:", 1},
                                         {childObject, "layered:", 2},
                                         {baseObject, "layered:", 3}}));
}

TEST(MSHookMessageExTest, LeavesTheSuperclassesOwnMethodAloneWhenHookingAnOverride) {
  IMP saved = Hook(child, "overridden:", &FirstReplacement);
  EXPECT_EQ(saved, AsImplementation(&ChildMethod));
  EXPECT_EQ(Send(childObject, "overridden:", 1), 8001);
  EXPECT_EQ(Send(baseObject, "overridden:", 2), 1002);
}

TEST(MSHookMessageExTest, HooksAClassMethodThroughTheMetaclass) {
  id childClass = reinterpret_cast<id>(child);
  IMP saved = Hook(object_getClass(childClass), "classLevel:", &FirstReplacement);
  EXPECT_EQ(LastRecord(), "HookTestChild +classLevel: installed");
  EXPECT_EQ(saved, AsImplementation(&BaseMethod));
  entries.clear();
  EXPECT_EQ(Send(childClass, "classLevel:", 4), 8004);
  EXPECT_EQ(entries, (std::vector<Entry>{{childClass, "classLevel:", 4}}));
  EXPECT_EQ(Send(reinterpret_cast<id>(base), "classLevel:", 5), 1005);
}

TEST(MSHookMessageExTest, InstallsNothingForANilClassOrASelectorTheClassDoesNotAnswer) {
  struct Case {
    Class cls;
    const char* selector;
    std::string expectedRecord;
  };
  const Case cases[] = {
      {nullptr, "own:", "nil -own: skipped"},
      {base, "absent:", "HookTestBase -absent: skipped"},
      {object_getClass(reinterpret_cast<id>(child)), "absent:", "HookTestChild +absent: skipped"},
      {base, nullptr, "HookTestBase - skipped"}};
  for (const auto& [cls, selector, expectedRecord] : cases) {
    SCOPED_TRACE(expectedRecord);
    EXPECT_EQ(Hook(cls, selector, &FirstReplacement), nullptr);
    EXPECT_EQ(LastRecord(), expectedRecord);
  }
  EXPECT_FALSE(class_respondsToSelector(base, sel_registerName("absent:")));
  EXPECT_FALSE(class_respondsToSelector(child, sel_registerName("absent:")));
}

}  // namespace
}  // namespace device

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  device::StartRuntime();
  device::DefineTestClasses();
  return RUN_ALL_TESTS();
}
