#include "device/UIKit/UIKitDevice.h"

namespace device {

void RegisterUIBars();
void RegisterUITableViews();
void RegisterUITableViewCells();
void RegisterUIButton();
void RegisterPrivateChromeViews();

// Bars, controllers, cells, buttons and UIKit's private chrome views. Registered after the
// graphics classes, so that views that show an image can be made of UIImageView.
void RegisterUIKitChrome() {
  RegisterUIBars();
  RegisterUITableViews();
  RegisterUITableViewCells();
  RegisterUIButton();
  RegisterPrivateChromeViews();
}

}  // namespace device
