#pragma once

// libSystem's conversion state, where libc++ looks for it on Darwin, since its stream declarations
// name it even without wide characters: an opaque union of 128 bytes (xnu bsd/sys/_types.h,
// __darwin_mbstate_t).

typedef union {
  char __mbstate8[128];
  long long _mbstateL;
} mbstate_t;

static_assert(sizeof(mbstate_t) == 128, "xnu bsd/sys/_types.h: __mbstate_t");
