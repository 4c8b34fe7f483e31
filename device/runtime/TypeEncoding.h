#pragma once

#include <objc/runtime.h>

#include <cstddef>

#include "CoreGraphics/CoreGraphics.h"
#include "Foundation/Foundation.h"

// Type encodings as @encode gives them, made at compile time from the C++ types, so that a
// method's declared types cannot disagree with its implementation: CGFloat is "f" on 32-bit ARM
// and "d" on 64-bit, and geometry follows it.
namespace device {

// A type encoding: N characters and a terminating zero, joined with + at compile time.
template <std::size_t N>
struct Encoding {
  char text[N + 1] = {};

  constexpr Encoding() = default;
  constexpr Encoding(const char (&literal)[N + 1]) {
    for (std::size_t i = 0; i < N; ++i) text[i] = literal[i];
  }
};
template <std::size_t N>
Encoding(const char (&)[N]) -> Encoding<N - 1>;

template <std::size_t A, std::size_t B>
constexpr Encoding<A + B> operator+(const Encoding<A>& first, const Encoding<B>& second) {
  Encoding<A + B> joined;
  for (std::size_t i = 0; i < A; ++i) joined.text[i] = first.text[i];
  for (std::size_t i = 0; i < B; ++i) joined.text[A + i] = second.text[i];
  return joined;
}

// The encoding of one type. Only the types that the stand-ins' methods and variables use are
// given; any other fails to compile rather than being guessed.
template <typename T>
struct TypeEncoding;
template <typename T>
inline constexpr auto kEncodingOf = TypeEncoding<T>::value;

#define DEVICE_ENCODING(type, code)               \
  template <>                                     \
  struct TypeEncoding<type> {                     \
    static constexpr auto value = Encoding(code); \
  }
DEVICE_ENCODING(void, "v");
DEVICE_ENCODING(id, "@");
DEVICE_ENCODING(Class, "#");
DEVICE_ENCODING(SEL, ":");
// GCC's runtime declares BOOL as unsigned char; the stand-ins answer it as bool, of the same size.
DEVICE_ENCODING(bool, "C");
DEVICE_ENCODING(char, "c");
DEVICE_ENCODING(unsigned char, "C");
DEVICE_ENCODING(short, "s");
DEVICE_ENCODING(unsigned short, "S");
DEVICE_ENCODING(int, "i");
DEVICE_ENCODING(unsigned int, "I");
DEVICE_ENCODING(long, "l");
DEVICE_ENCODING(unsigned long, "L");
DEVICE_ENCODING(long long, "q");
DEVICE_ENCODING(unsigned long long, "Q");
DEVICE_ENCODING(float, "f");
DEVICE_ENCODING(double, "d");
DEVICE_ENCODING(const char*, "*");
DEVICE_ENCODING(void*, "^v");
DEVICE_ENCODING(const void*, "r^v");
#undef DEVICE_ENCODING

// A pointer to a type of known encoding says what it points to; any other, such as a pointer to
// an opaque structure (CGColorRef), is an untyped pointer.
template <typename T>
struct TypeEncoding<T*> {
  static constexpr auto value = [] {
    if constexpr (requires { TypeEncoding<T>::value; }) {
      return Encoding("^") + kEncodingOf<T>;
    } else {
      return Encoding("^v");
    }
  }();
};
template <>
struct TypeEncoding<CGPoint> {
  static constexpr auto value =
      Encoding("{CGPoint=") + kEncodingOf<CGFloat> + kEncodingOf<CGFloat> + Encoding("}");
};
template <>
struct TypeEncoding<CGSize> {
  static constexpr auto value =
      Encoding("{CGSize=") + kEncodingOf<CGFloat> + kEncodingOf<CGFloat> + Encoding("}");
};
template <>
struct TypeEncoding<CGRect> {
  static constexpr auto value =
      Encoding("{CGRect=") + kEncodingOf<CGPoint> + kEncodingOf<CGSize> + Encoding("}");
};
template <>
struct TypeEncoding<NSRange> {
  static constexpr auto value = Encoding("{_NSRange=") + kEncodingOf<unsigned long> +
                                kEncodingOf<unsigned long> + Encoding("}");
};
template <>
struct TypeEncoding<NSOperatingSystemVersion> {
  static constexpr auto value = Encoding("{NSOperatingSystemVersion=") + kEncodingOf<long> +
                                kEncodingOf<long> + kEncodingOf<long> + Encoding("}");
};

// The encoding of a method implemented by a function of type Function: its result, then each
// argument, the receiver and the selector included.
template <typename Function>
struct MethodEncoding;
template <typename Result, typename... Arguments>
struct MethodEncoding<Result(Arguments...)> {
  static constexpr auto value = (kEncodingOf<Result> + ... + kEncodingOf<Arguments>);
};
template <typename Function>
inline constexpr auto kMethodEncoding = MethodEncoding<Function>::value;

}  // namespace device
