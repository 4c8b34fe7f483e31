#pragma once

// The simulated device's CoreGraphics interface: the part of the platform's C interface that the
// library and the other stand-ins compile against, with the platform's names and meanings.

extern "C" {

typedef double CGFloat;  // The 64-bit build's component width.

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

}  // extern "C"
