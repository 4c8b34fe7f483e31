#pragma once

// The simulated device's CoreGraphics interface: the part of the platform's C interface that the
// library and the other stand-ins compile against, with the platform's names and meanings.

extern "C" {

// The platform's component width follows the architecture's word, as CoreGraphics declares it
// (CGBase.h, CGFLOAT_IS_DOUBLE with __LP64__): a float on armv7, a double on arm64.
#if defined(__LP64__)
typedef double CGFloat;
#else
typedef float CGFloat;
#endif
static_assert(sizeof(CGFloat) == sizeof(void*), "CoreGraphics: CGFloat is as wide as a pointer");

struct CGPoint {
  CGFloat x;
  CGFloat y;
};
struct CGSize {
  CGFloat width;
  CGFloat height;
};
struct CGRect {
  CGPoint origin;
  CGSize size;
};

// Colour space models, with the platform's values.
typedef int CGColorSpaceModel;
enum : CGColorSpaceModel {
  kCGColorSpaceModelMonochrome = 0,
  kCGColorSpaceModelRGB = 1,
  kCGColorSpaceModelPattern = 6,
};

// A reference-counted colour. Create functions answer a colour with one reference, owned by the
// caller; CGColorRelease drops one and frees the colour at zero. Every function accepts NULL and
// then answers zero or does nothing.
typedef struct CGColor* CGColorRef;
CGColorRef CGColorCreateSRGB(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
CGColorRef CGColorCreateGenericGray(CGFloat gray, CGFloat alpha);
CGColorRef CGColorCreatePattern(void);
CGColorRef CGColorRetain(CGColorRef color);
void CGColorRelease(CGColorRef color);
CGColorSpaceModel CGColorGetColorSpaceModel(CGColorRef color);
// The number of components including alpha: 2 for monochrome, 4 for RGB, 1 for a pattern.
unsigned long CGColorGetNumberOfComponents(CGColorRef color);
const CGFloat* CGColorGetComponents(CGColorRef color);
CGFloat CGColorGetAlpha(CGColorRef color);

// A reference-counted bitmap image: premultiplied 32-bit ARGB pixels, row 0 at the top.
// CGImageRelease frees it at zero references; NULL is accepted and answers zero.
typedef struct CGImage* CGImageRef;
CGImageRef CGImageRetain(CGImageRef image);
void CGImageRelease(CGImageRef image);
unsigned long CGImageGetWidth(CGImageRef image);
unsigned long CGImageGetHeight(CGImageRef image);

// A drawing context, as UIGraphicsBeginImageContext makes one. Every operation applies to the
// context's current state and accepts NULL, doing nothing.
typedef struct CGContext* CGContextRef;

typedef int CGBlendMode;
enum : CGBlendMode {
  kCGBlendModeNormal = 0,
  kCGBlendModeCopy = 17,  // result = source
};

// Later drawing combines with what is there by `mode`.
void CGContextSetBlendMode(CGContextRef context, CGBlendMode mode);
// Moves, then scales, the user coordinate system of later drawing.
void CGContextTranslateCTM(CGContextRef context, CGFloat tx, CGFloat ty);
void CGContextScaleCTM(CGContextRef context, CGFloat sx, CGFloat sy);
// Limits later drawing to where `mask` is opaque (by its alpha), with the mask drawn into `rect` in
// the current user coordinates as CoreGraphics draws every image in its native y-up space: the
// mask's row 0 along the rectangle's maximum y, its last row along the origin's y. In a UIKit
// context (y down) the mask is therefore upside down relative to the same image drawn with
// -[UIImage drawInRect:], unless user space is flipped first (translate by the height, then scale
// y by -1). A NULL mask leaves the clip as it is.
void CGContextClipToMask(CGContextRef context, CGRect rect, CGImageRef mask);
void CGContextSetFillColorWithColor(CGContextRef context, CGColorRef color);
void CGContextFillRect(CGContextRef context, CGRect rect);

}  // extern "C"
