#pragma once

// libSystem's scheduler, as far as libc++'s thread support names it (see pthread.h).

#ifdef __cplusplus
extern "C" {
#endif

int sched_yield(void);

#ifdef __cplusplus
}
#endif
