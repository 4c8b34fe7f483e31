#include "theme/Icons.h"

#include <array>

#include "UIKit/UIKit.h"
#include "hooks/SavedImplementations.h"
#include "platform/CoreGraphics.h"
#include "platform/ObjectiveC.h"
#include "platform/UIKit.h"
#include "settings/ThemeGate.h"

namespace umbravista {

using platform::Send;

namespace {

// Images at least this wide are pictures, not icons.
constexpr CGFloat kIconWidthLimit = 100.0;

// The button bar's buttons that turn white, by the tags the host gives them, in pass order.
constexpr std::array<long, 4> kWhiteButtonTags = {124980, 847123, 42342, 91823};

constexpr long kUIImageRenderingModeAlwaysTemplate = 2;
constexpr unsigned long kUIControlStateNormal = 0;

CGSize SizeOf(id image) {
  return Send<CGSize>(image, "size"_sel);
}

CGRect WholeImage(id image) {
  return {{0, 0}, SizeOf(image)};
}

// The image's shape filled with opaque white, drawn into a new image context at scale 1.0. The
// context is flipped before the mask is clipped, so that the mask lines up with the image drawn
// upright; the copy blend keeps the drawn image's transparency where the mask does not reach.
id WhiteSilhouetteOf(id image) {
  UIGraphicsBeginImageContext(SizeOf(image));
  CGContextSetBlendMode(UIGraphicsGetCurrentContext(), kCGBlendModeCopy);
  Send(image, "drawInRect:"_sel, WholeImage(image));
  CGContextTranslateCTM(UIGraphicsGetCurrentContext(), 0, SizeOf(image).height);
  CGContextScaleCTM(UIGraphicsGetCurrentContext(), 1.0, -1.0);
  CGContextClipToMask(UIGraphicsGetCurrentContext(), WholeImage(image),
                      Send<CGImageRef>(image, "CGImage"_sel));
  CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(),
                                 Send<CGColorRef>(platform::WhiteColour(), "CGColor"_sel));
  CGContextFillRect(UIGraphicsGetCurrentContext(), WholeImage(image));
  id silhouette = UIGraphicsGetImageFromCurrentImageContext();
  UIGraphicsEndImageContext();
  return silhouette;
}

bool IsButton(id view) {
  return platform::RespondsTo(view, "currentImage"_sel) &&
         platform::RespondsTo(view, "setImage:forState:"_sel);
}

}  // namespace

void ReplaceRCTImageViewSetImage(id imageView, SEL selector, id image) {
  IMP saved = SavedImplementation(kRCTImageViewSetImage);
  if (!ThemeGate() || !(SizeOf(image).width < kIconWidthLimit)) {
    platform::CallSaved(saved, imageView, selector, image);
    return;
  }
  // An empty size makes no bitmap context; there is nothing to recolour then.
  const CGSize size = SizeOf(image);
  id silhouette = size.width > 0 && size.height > 0 ? WhiteSilhouetteOf(image) : nullptr;
  platform::CallSaved(saved, imageView, selector, silhouette);
}

void ReplaceIGUFIButtonBarViewLayoutSubviews(id bar, SEL selector) {
  platform::CallSaved(SavedImplementation(kIGUFIButtonBarViewLayoutSubviews), bar, selector);
  for (long tag : kWhiteButtonTags) {
    id subviews = Send<id>(bar, "subviews"_sel);
    const auto count = Send<unsigned long>(subviews, "count"_sel);
    for (unsigned long index = 0; index < count; ++index) {
      id subview = Send<id>(subviews, "objectAtIndex:"_sel, index);
      if (Send<long>(subview, "tag"_sel) != tag || !IsButton(subview)) continue;
      id templateImage = Send<id>(Send<id>(subview, "currentImage"), "imageWithRenderingMode:"_sel,
                                  kUIImageRenderingModeAlwaysTemplate);
      Send(subview, "setImage:forState:"_sel, templateImage, kUIControlStateNormal);
      Send(subview, "setTintColor:"_sel, platform::WhiteColour());
    }
  }
}

}  // namespace umbravista
