#pragma once

#include <objc/runtime.h>

#include <cstddef>
#include <string>
#include <vector>

// The stand-in of Foundation's root class, NSObject, with reference counting as the platform
// does it (retain, release, autorelease into a pool that the host drains, dealloc at zero), key
// value lookup that fails loudly for a key the object does not hold, and the bookkeeping that lets
// tests see leaks and over-releases.
namespace device {

// Registers NSObject and the zombie class that deallocated objects turn into.
void RegisterObjectRoot();

// The number of live (allocated, not yet deallocated) instances of exactly the class named
// `className`, or of every class when `className` is null.
long LiveObjects(const char* className = nullptr);

// The object's current retain count, as -retainCount answers it.
long RetainCountOf(id object);

// Deallocated objects become zombies that raise PlatformException at any message, so that an
// over-release or a use after free fails loudly instead of corrupting memory. They are never
// freed while zombies are on; benchmarks that make millions of objects turn them off.
void SetZombiesEnabled(bool enabled);

// A pool into which -autorelease puts objects, drained (each object released once per
// autorelease) when the pool ends. Pools nest per thread; -autorelease with no pool in place
// raises PlatformException, since the object would otherwise leak.
class AutoreleasePool {
 public:
  AutoreleasePool();
  ~AutoreleasePool();
  AutoreleasePool(const AutoreleasePool&) = delete;
  AutoreleasePool& operator=(const AutoreleasePool&) = delete;

  // Releases what the pool holds now and keeps the pool in place.
  void Drain();
};

}  // namespace device
