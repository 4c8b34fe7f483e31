#pragma once

// Invariants of the reader: conditions that hold by construction, checked wherever assertions are
// (the sanitizer build and other debug builds) and compiled away elsewhere. The device's library
// is a release, and its build declares no <assert.h>.
#if defined(NDEBUG) || defined(__APPLE__)
#define UMBRAVISTA_ASSERT(condition) static_cast<void>(0)
#else
#include <cassert>
#define UMBRAVISTA_ASSERT(condition) assert(condition)
#endif
