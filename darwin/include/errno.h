#pragma once

// libSystem's errno: a function answering the calling thread's error number (xnu bsd/sys/errno.h),
// and the numbers the library tells apart.

#ifdef __cplusplus
extern "C" {
#endif

int* __error(void);
#define errno (*__error())

#define ENOENT 2
#define EINTR 4
#define ENXIO 6
#define ENODEV 19
#define ENOTDIR 20

#ifdef __cplusplus
}

static_assert(ENOENT == 2 && EINTR == 4 && ENXIO == 6 && ENODEV == 19 && ENOTDIR == 20,
              "xnu bsd/sys/errno.h");
#endif
