#pragma once

// libSystem's time types, as far as libc++'s <ctime> needs them to compile: time_t is long and
// clock_t unsigned long on both architectures (xnu bsd/arm/_types.h). The library reads no clock.

#include <stddef.h>

typedef long time_t;
typedef unsigned long clock_t;

struct timespec {
  time_t tv_sec;
  long tv_nsec;
};

struct tm;

#ifdef __cplusplus
extern "C" {
#endif

int nanosleep(const struct timespec* duration, struct timespec* remaining);

#ifdef __cplusplus
}
#endif
