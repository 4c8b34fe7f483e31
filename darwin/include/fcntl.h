#pragma once

// libSystem's open(2), under its plain name (xnu bsd/sys/cdefs.h: iPhoneOS has no $UNIX2003
// variant), and the flags with which the library opens its settings (xnu bsd/sys/fcntl.h).

#ifdef __cplusplus
extern "C" {
#endif

#define O_RDONLY 0x0000
#define O_NONBLOCK 0x0004
#define O_NOCTTY 0x20000
#define O_CLOEXEC 0x1000000

int open(const char* path, int flags, ...);

#ifdef __cplusplus
}

static_assert(O_RDONLY == 0x0000 && O_NONBLOCK == 0x0004 && O_NOCTTY == 0x20000 &&
                  O_CLOEXEC == 0x1000000,
              "xnu bsd/sys/fcntl.h");
#endif
