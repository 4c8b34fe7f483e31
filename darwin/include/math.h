#pragma once

// libSystem's C mathematics, as far as libc++'s <cmath> needs it: the ISO C classification macros,
// which the compiler answers itself, and the functions, which libc++'s <cmath> wraps
// whether or not they are called.

#define FP_NAN 1
#define FP_INFINITE 2
#define FP_ZERO 3
#define FP_NORMAL 4
#define FP_SUBNORMAL 5

#define fpclassify(x) __builtin_fpclassify(FP_NAN, FP_INFINITE, FP_NORMAL, FP_SUBNORMAL, FP_ZERO, x)
#define signbit(x) __builtin_signbit(x)
#define isfinite(x) __builtin_isfinite(x)
#define isinf(x) __builtin_isinf(x)
#define isnan(x) __builtin_isnan(x)
#define isnormal(x) __builtin_isnormal(x)
#define isgreater(x, y) __builtin_isgreater(x, y)
#define isgreaterequal(x, y) __builtin_isgreaterequal(x, y)
#define isless(x, y) __builtin_isless(x, y)
#define islessequal(x, y) __builtin_islessequal(x, y)
#define islessgreater(x, y) __builtin_islessgreater(x, y)
#define isunordered(x, y) __builtin_isunordered(x, y)

#ifdef __cplusplus
extern "C" {
#endif

// Each function in its three widths, double, float (suffix f) and long double (suffix l), as ISO C
// declares them; libc++ wraps every one of them.
#define UMBRAVISTA_MATH_1(name, result) \
  result name(double);                  \
  result name##f(float);                \
  result name##l(long double);
#define UMBRAVISTA_MATH_R1(name) \
  double name(double);           \
  float name##f(float);          \
  long double name##l(long double);
#define UMBRAVISTA_MATH_R2(name) \
  double name(double, double);   \
  float name##f(float, float);   \
  long double name##l(long double, long double);

UMBRAVISTA_MATH_R1(acos)
UMBRAVISTA_MATH_R1(asin)
UMBRAVISTA_MATH_R1(atan) UMBRAVISTA_MATH_R1(ceil) UMBRAVISTA_MATH_R1(cos) UMBRAVISTA_MATH_R1(
    cosh) UMBRAVISTA_MATH_R1(exp) UMBRAVISTA_MATH_R1(fabs) UMBRAVISTA_MATH_R1(floor)
    UMBRAVISTA_MATH_R1(log) UMBRAVISTA_MATH_R1(log10) UMBRAVISTA_MATH_R1(sin) UMBRAVISTA_MATH_R1(
        sinh) UMBRAVISTA_MATH_R1(sqrt) UMBRAVISTA_MATH_R1(tan) UMBRAVISTA_MATH_R1(tanh)
        UMBRAVISTA_MATH_R1(acosh) UMBRAVISTA_MATH_R1(asinh) UMBRAVISTA_MATH_R1(
            atanh) UMBRAVISTA_MATH_R1(cbrt) UMBRAVISTA_MATH_R1(erf) UMBRAVISTA_MATH_R1(erfc)
            UMBRAVISTA_MATH_R1(exp2) UMBRAVISTA_MATH_R1(expm1) UMBRAVISTA_MATH_R1(lgamma)
                UMBRAVISTA_MATH_R1(log1p) UMBRAVISTA_MATH_R1(log2) UMBRAVISTA_MATH_R1(logb)
                    UMBRAVISTA_MATH_R1(nearbyint) UMBRAVISTA_MATH_R1(rint) UMBRAVISTA_MATH_R1(round)
                        UMBRAVISTA_MATH_R1(tgamma) UMBRAVISTA_MATH_R1(trunc)
                            UMBRAVISTA_MATH_R2(atan2) UMBRAVISTA_MATH_R2(fmod)
                                UMBRAVISTA_MATH_R2(pow) UMBRAVISTA_MATH_R2(copysign)
                                    UMBRAVISTA_MATH_R2(fdim) UMBRAVISTA_MATH_R2(fmax)
                                        UMBRAVISTA_MATH_R2(fmin) UMBRAVISTA_MATH_R2(hypot)
                                            UMBRAVISTA_MATH_R2(nextafter)
                                                UMBRAVISTA_MATH_R2(remainder)
                                                    UMBRAVISTA_MATH_1(ilogb, int)
                                                        UMBRAVISTA_MATH_1(llrint, long long)
                                                            UMBRAVISTA_MATH_1(llround, long long)
                                                                UMBRAVISTA_MATH_1(lrint, long)
                                                                    UMBRAVISTA_MATH_1(lround, long)

                                                                        double fma(double, double,
                                                                                   double);
float fmaf(float, float, float);
long double fmal(long double, long double, long double);
double frexp(double, int*);
float frexpf(float, int*);
long double frexpl(long double, int*);
double ldexp(double, int);
float ldexpf(float, int);
long double ldexpl(long double, int);
double modf(double, double*);
float modff(float, float*);
long double modfl(long double, long double*);
double nan(const char*);
float nanf(const char*);
long double nanl(const char*);
double nexttoward(double, long double);
float nexttowardf(float, long double);
long double nexttowardl(long double, long double);
double remquo(double, double, int*);
float remquof(float, float, int*);
long double remquol(long double, long double, int*);
double scalbln(double, long);
float scalblnf(float, long);
long double scalblnl(long double, long);
double scalbn(double, int);
float scalbnf(float, int);
long double scalbnl(long double, int);

#undef UMBRAVISTA_MATH_1
#undef UMBRAVISTA_MATH_R1
#undef UMBRAVISTA_MATH_R2

#ifdef __cplusplus
}
#endif
