// CompareAndHex behaves as a category loaded after UIColor: its two methods take the place of
// methods of the same name that the host's UIColor already has, and are the only methods it adds.
// Whether the host has them is fixed before the library loads, so each host runs in a process of
// its own: "plain" (UIColor without them), "host-defines-both", "host-defines-both-unused", where
// no UIColor and no other class with a method of those names has had a message yet, or
// "nsobject-defines-both", where UIColor only inherits them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/host/SimulatedHost.h"
#include "device/runtime/Runtime.h"

namespace {

// The class on which the host defines both methods before the library loads, if any.
std::string_view hostClass;
bool hostUsedThem = false;
std::set<std::string> methodsBeforeLoading;

std::set<std::string> InstanceMethodsOf(const char* className) {
  unsigned int count = 0;
  Method* methods = class_copyMethodList(objc_getClass(className), &count);
  std::set<std::string> names;
  for (unsigned int i = 0; i < count; ++i) names.insert(sel_getName(method_getName(methods[i])));
  std::free(methods);
  return names;
}

// The host's own versions, which the category must replace: every colour the same, no colour
// from hex.
bool HostIsSameColor(id, SEL, id) {
  return true;
}
id HostInitWithHex(id self, SEL, id) {
  device::Message(self, "release");
  return nullptr;
}

// A class of the host's own with an initWithHex: of its own, which answers its receiver.
constexpr const char* kSwatchClass = "HostSwatch";
id SwatchInitWithHex(id self, SEL, id) {
  return self;
}

TEST(CategoryTest, ReplacesTheHostsMethodsOfTheSameNameAndAddsNoOther) {
  device::AutoreleasePool pool;
  const std::set<std::string> after = InstanceMethodsOf("UIColor");
  std::set<std::string> added;
  for (const std::string& name : after) {
    if (!methodsBeforeLoading.contains(name)) added.insert(name);
  }
  if (hostClass == "UIColor") {
    EXPECT_TRUE(added.empty()) << "the category added methods beside the host's own";
  } else {
    EXPECT_EQ(added, (std::set<std::string>{"initWithHex:", "isSameColor:"}));
  }

  id black = device::NewGreyColor(0.0, 1.0);
  id white = device::NewGreyColor(1.0, 1.0);
  EXPECT_FALSE(device::Message<bool>(black, "isSameColor:", white)) << "the host's isSameColor:";
  EXPECT_TRUE(device::Message<bool>(white, "isSameColor:", white));
  id text = device::NewString("0EADFF");
  id colour = device::Message<id>(
      device::Message<id>(reinterpret_cast<id>(objc_getClass("UIColor")), "alloc"),
      "initWithHex:", text);
  EXPECT_EQ(device::ColorText(colour), "#0EADFFFF") << "the host's initWithHex:";
  // A class that is not UIColor keeps its own method of that name.
  id string = device::NewString("x");
  EXPECT_EQ(
      class_getMethodImplementation(objc_getClass("NSString"), sel_registerName("isSameColor:")) ==
          class_getMethodImplementation(objc_getClass("UIColor"), sel_registerName("isSameColor:")),
      false);
  for (id object : {black, white, text, colour, string}) device::Message(object, "release");
}

// Pins two faults: in GCC's runtime, replacing a method of a class that has had no message yet
// wrote into the dispatch table that all such classes share, so another class's method of the
// same name ran the category's; and replacing a method that UIColor only inherits replaced
// NSObject's, so every other class ran the category's.
TEST(CategoryTest, LeavesAnotherClassesMethodOfTheSameNameInPlace) {
  if (hostClass.empty()) GTEST_SKIP() << "only a host with a swatch class defines one";
  device::AutoreleasePool pool;
  id swatch = device::Message<id>(reinterpret_cast<id>(objc_getClass(kSwatchClass)), "alloc");
  id text = device::NewString("0EADFF");
  EXPECT_EQ(device::Message<id>(swatch, "initWithHex:", text), swatch) << "the swatch's own";
  if (hostClass == "NSObject") {
    EXPECT_TRUE(device::Message<bool>(swatch, "isSameColor:", text)) << "NSObject's, the host's";
  }
  id colour = device::Message<id>(
      device::Message<id>(reinterpret_cast<id>(objc_getClass("UIColor")), "alloc"),
      "initWithHex:", text);
  EXPECT_EQ(device::ColorText(colour), "#0EADFFFF");
  for (id object : {swatch, text, colour}) device::Message(object, "release");
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const std::string mode = argc == 2 ? argv[1] : "";
  if (mode != "plain" && mode != "host-defines-both" && mode != "host-defines-both-unused" &&
      mode != "nsobject-defines-both") {
    std::fprintf(stderr,
                 "usage: %s plain|host-defines-both|host-defines-both-unused|"
                 "nsobject-defines-both\n",
                 argv[0]);
    return 2;
  }
  if (mode != "plain") hostClass = mode.starts_with("nsobject") ? "NSObject" : "UIColor";
  hostUsedThem = mode == "host-defines-both";
  device::SimulatedHost host;
  host.RegisterClasses();
  if (!hostClass.empty()) {
    Class owner = objc_getClass(hostClass.data());
    class_addMethod(owner, sel_registerName("isSameColor:"),
                    device::AsImplementation(&HostIsSameColor), "C@:@");
    class_addMethod(owner, sel_registerName("initWithHex:"),
                    device::AsImplementation(&HostInitWithHex), "@@:@");
    Class swatch = objc_allocateClassPair(objc_getClass("NSObject"), kSwatchClass, 0);
    class_addMethod(swatch, sel_registerName("initWithHex:"),
                    device::AsImplementation(&SwatchInitWithHex), "@@:@");
    objc_registerClassPair(swatch);
  }
  if (hostUsedThem) {
    // The host has used its methods already, as it would have by the time the loader runs.
    id white = device::NewGreyColor(1.0, 1.0);
    device::Message<bool>(white, "isSameColor:", white);
    device::Message(white, "release");
    // NSString answers isSameColor: with the host's method too, which the category leaves alone.
    class_addMethod(objc_getClass("NSString"), sel_registerName("isSameColor:"),
                    device::AsImplementation(&HostIsSameColor), "C@:@");
  }
  methodsBeforeLoading = InstanceMethodsOf("UIColor");
  host.LoadLibrary();
  return RUN_ALL_TESTS();
}
