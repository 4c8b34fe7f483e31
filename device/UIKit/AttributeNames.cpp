#include "UIKit/UIKit.h"
#include "device/Foundation/Foundation.h"

extern "C" {
id NSForegroundColorAttributeName = nullptr;
id NSBackgroundColorAttributeName = nullptr;
}

namespace device {

// The strings are made once and kept for the life of the process, as constant strings live in
// the platform's image.
void SetAttributeNames() {
  if (NSForegroundColorAttributeName == nullptr) {
    NSForegroundColorAttributeName = NewString("NSColor");
  }
  if (NSBackgroundColorAttributeName == nullptr) {
    NSBackgroundColorAttributeName = NewString("NSBackgroundColor");
  }
}

}  // namespace device
