// CompareAndHex behaves as a category loaded after UIColor: its two methods take the place of
// methods of the same name that the host's UIColor already has, and are the only methods it adds.
// Whether the host has them is fixed before the library loads, so each host runs in a process of
// its own: "plain" (UIColor without them) or "host-defines-both".
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/host/SimulatedHost.h"
#include "device/runtime/Runtime.h"

namespace {

bool hostDefinesBoth = false;
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

TEST(CategoryTest, ReplacesTheHostsMethodsOfTheSameNameAndAddsNoOther) {
  device::AutoreleasePool pool;
  const std::set<std::string> after = InstanceMethodsOf("UIColor");
  std::set<std::string> added;
  for (const std::string& name : after) {
    if (!methodsBeforeLoading.contains(name)) added.insert(name);
  }
  if (hostDefinesBoth) {
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

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 2 ||
      (std::strcmp(argv[1], "plain") != 0 && std::strcmp(argv[1], "host-defines-both") != 0)) {
    std::fprintf(stderr, "usage: %s plain|host-defines-both\n", argv[0]);
    return 2;
  }
  hostDefinesBoth = std::strcmp(argv[1], "host-defines-both") == 0;
  device::SimulatedHost host;
  host.RegisterClasses();
  if (hostDefinesBoth) {
    Class colour = objc_getClass("UIColor");
    class_addMethod(colour, sel_registerName("isSameColor:"),
                    device::AsImplementation(&HostIsSameColor), "C@:@");
    class_addMethod(colour, sel_registerName("initWithHex:"),
                    device::AsImplementation(&HostInitWithHex), "@@:@");
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
