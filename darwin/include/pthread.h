#pragma once

// libSystem's threads, declared only because libc++'s <atomic> and <memory> compile its thread
// support inline whether or not it is used. The library takes no lock and starts no thread, and
// nothing of this is on the list of symbols it may import (imports.txt), so a use of it fails to
// link. Layouts after Apple's libpthread sys/_pthread/_pthread_types.h: each type a signature word
// and opaque bytes, fewer on 32-bit ARM.

#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__LP64__)
#define UMBRAVISTA_LP64 1
#else
#define UMBRAVISTA_LP64 0
#endif

struct _opaque_pthread_t;
typedef struct _opaque_pthread_t* pthread_t;
typedef unsigned long pthread_key_t;

typedef struct {
  long __sig;
  char __opaque[UMBRAVISTA_LP64 ? 56 : 40];
} pthread_mutex_t;
typedef struct {
  long __sig;
  char __opaque[8];
} pthread_mutexattr_t;
typedef struct {
  long __sig;
  char __opaque[UMBRAVISTA_LP64 ? 40 : 24];
} pthread_cond_t;
typedef struct {
  long __sig;
  char __opaque[UMBRAVISTA_LP64 ? 8 : 4];
} pthread_once_t;
typedef struct _opaque_pthread_attr_t pthread_attr_t;

#define PTHREAD_MUTEX_INITIALIZER \
  {                               \
    0x32AAABA7, {                 \
      0                           \
    }                             \
  }
#define PTHREAD_COND_INITIALIZER \
  {                              \
    0x3CB0B1BB, {                \
      0                          \
    }                            \
  }
#define PTHREAD_ONCE_INIT \
  {                       \
    0x30B1BCBA, {         \
      0                   \
    }                     \
  }
#define PTHREAD_MUTEX_RECURSIVE 2

int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                   void* argument);
int pthread_detach(pthread_t thread);
int pthread_join(pthread_t thread, void** result);
pthread_t pthread_self(void);
int pthread_equal(pthread_t first, pthread_t second);
int pthread_once(pthread_once_t* once, void (*function)(void));
int pthread_key_create(pthread_key_t* key, void (*destructor)(void*));
void* pthread_getspecific(pthread_key_t key);
int pthread_setspecific(pthread_key_t key, const void* value);
int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t* attributes);
int pthread_mutex_destroy(pthread_mutex_t* mutex);
int pthread_mutex_lock(pthread_mutex_t* mutex);
int pthread_mutex_trylock(pthread_mutex_t* mutex);
int pthread_mutex_unlock(pthread_mutex_t* mutex);
int pthread_mutexattr_init(pthread_mutexattr_t* attributes);
int pthread_mutexattr_destroy(pthread_mutexattr_t* attributes);
int pthread_mutexattr_settype(pthread_mutexattr_t* attributes, int type);
int pthread_cond_broadcast(pthread_cond_t* condition);
int pthread_cond_destroy(pthread_cond_t* condition);
int pthread_cond_signal(pthread_cond_t* condition);
int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex);
int pthread_cond_timedwait(pthread_cond_t* condition, pthread_mutex_t* mutex,
                           const struct timespec* until);

#undef UMBRAVISTA_LP64

#ifdef __cplusplus
}
#endif
