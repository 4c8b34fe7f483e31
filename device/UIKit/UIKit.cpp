#include "device/UIKit/UIKitDevice.h"

namespace device {

void RegisterUIColor();
void RegisterUIView();

void RegisterUIKit() {
  RegisterUIColor();
  RegisterUIView();
}

}  // namespace device
