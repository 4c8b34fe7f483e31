#pragma once

#include <objc/runtime.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "CoreGraphics/CoreGraphics.h"
#include "device/CoreGraphics/BitmapDevice.h"

// The simulated device's C++ conveniences for UIKit's images, image views, image contexts and
// button bars, for the simulated host and the tests. None of them records anything in the trace.
//
// Pixels are given and read as straight (not premultiplied) 0xAARRGGBB values, row by row from the
// top, so a test can write a shape as it sees it. An image's size in points is its size in pixels
// divided by its scale. UIGraphicsBeginImageContext rounds a fractional size up to whole pixels,
// as UIKit does (10.2 by 3 points make 11 by 3 pixels, 0.3 by 0.3 make 1 by 1), and makes no
// context for a size that is zero, negative, endless or not a number either way. See
// device/CoreGraphics/BitmapDevice.h for how images are placed in a context's coordinates.
namespace device {

// Registers UIImage and UIImageView (a UIView subclass). UIView must be registered first.
void RegisterUIKitGraphics();

// A new UIImage (retain count 1, owned by the caller) of `width` by `height` pixels at `scale`
// pixels per point, with rendering mode 0. Raises std::invalid_argument when the size is zero,
// `pixels` does not hold width times height values, or `scale` is not positive.
id NewImageFromPixels(unsigned long width, unsigned long height, CGFloat scale,
                      const std::vector<std::uint32_t>& pixels);
// The same, every pixel `argb`.
id NewSolidImage(unsigned long width, unsigned long height, CGFloat scale, std::uint32_t argb);
// A new UIImage (retain count 1, owned by the caller) that holds a reference of its own to
// `image`, with the given scale and rendering mode. Raises std::invalid_argument for a NULL image
// or a scale that is not positive.
id NewImageWithCGImage(CGImageRef image, CGFloat scale, long renderingMode = 0);

// The pixels of a UIImage as above, and its size in pixels; empty and zero for nil.
std::vector<std::uint32_t> ImagePixels(id image);
unsigned long ImagePixelWidth(id image);
unsigned long ImagePixelHeight(id image);

// The image that an image view holds, as setImage: last stored it, without sending a message.
id StoredImage(id imageView);

// The current image context (NULL when there is none or the current one could not be made), and
// how many image contexts have been begun and not yet ended, on this thread. Each thread has its
// own stack of image contexts, as on the platform: UIGraphicsBeginImageContext,
// UIGraphicsGetCurrentContext, UIGraphicsGetImageFromCurrentImageContext and
// UIGraphicsEndImageContext see only the calling thread's.
CGContextRef CurrentImageContext();
std::size_t ImageContextDepth();

// A new view of the class named `barClassName` (retain count 1, owned by the caller), 44 points
// high and 44 wide per entry, holding one UIButton per entry as its subviews, in order, each 44 by
// 44 points beside the one before: tagged `tag` and given `image` for the normal state with
// setImage:forState: (nil leaves it without one). Its making is not recorded.
// Raises std::logic_error when UIButton or the bar's class is not registered.
struct BarButton {
  long tag;
  id image;
};
id NewButtonBar(const std::vector<BarButton>& buttons,
                const char* barClassName = "IGUFIButtonBarView");

}  // namespace device
