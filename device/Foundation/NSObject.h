#pragma once

#include <objc/runtime.h>

#include <cstddef>
#include <string>
#include <vector>

// The stand-in of Foundation's root class, NSObject, with reference counting as the platform
// does it (retain, release, autorelease into a pool that the host drains, dealloc at zero), key
// value lookup that fails loudly for a key the object does not hold, and the bookkeeping that lets
// tests see leaks and over-releases.
//
// Threads. As on the platform, any thread may make, retain, release, autorelease and deallocate
// objects at any time, and several threads may retain and release one object at once: the retain
// count changes atomically, and the live counts and the zombies change under a lock, so that the
// counts stay exact. Autorelease pools belong to the thread that made them. Registration
// (RegisterObjectRoot) happens once, on one thread, before any other thread makes objects.
namespace device {

// Registers NSObject and the zombie class that deallocated objects turn into.
void RegisterObjectRoot();

// The number of live (allocated, not yet deallocated) instances of exactly the class named
// `className`, or of every class when `className` is null, counted over every thread.
long LiveObjects(const char* className = nullptr);

// The object's current retain count, as -retainCount answers it.
long RetainCountOf(id object);

// Deallocated objects become zombies that raise PlatformException at any message, so that an
// over-release or a use after free fails loudly instead of corrupting memory. They are never
// freed while zombies are on; benchmarks that make millions of objects turn them off.
void SetZombiesEnabled(bool enabled);

// A pool into which -autorelease puts objects, drained (each object released once per
// autorelease) when the pool ends. Pools nest per thread: -autorelease puts the object into the
// innermost pool of the calling thread, and with no pool in place on that thread raises
// PlatformException, since the object would otherwise leak. A pool must end on the thread that
// made it, innermost first, as a scoped object does.
class AutoreleasePool {
 public:
  AutoreleasePool();
  ~AutoreleasePool();
  AutoreleasePool(const AutoreleasePool&) = delete;
  AutoreleasePool& operator=(const AutoreleasePool&) = delete;

  // Releases what this pool holds now, and what that releasing autoreleases into it, and keeps
  // the pool in place. Raises PlatformException on any thread but the pool's own, touching
  // nothing: another thread's pools are never drained from here.
  void Drain();

 private:
  std::vector<std::vector<id>>* stack_;  // The owning thread's stack of pools.
  std::size_t depth_;                    // This pool's place in it.
};

}  // namespace device
