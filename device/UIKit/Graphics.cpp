#include <stdexcept>
#include <string>

#include "device/UIKit/GraphicsDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {

void RegisterUIImage();
void RegisterUIImageView();

// Images and image views. Buttons are UIKit's chrome, registered after these.
void RegisterUIKitGraphics() {
  RegisterUIImage();
  RegisterUIImageView();
}

id NewButtonBar(const std::vector<BarButton>& buttons, const char* barClassName) {
  for (const char* name : {"UIButton", barClassName}) {
    if (objc_getClass(name) == nullptr) {
      throw std::logic_error(std::string(name) + " is not registered: no button bar can be made");
    }
  }
  constexpr CGFloat kSide = 44;
  constexpr unsigned long kNormalState = 0;
  PausedTrace quiet;
  id bar = NewView(barClassName, {{0, 0}, {kSide * static_cast<CGFloat>(buttons.size()), kSide}});
  CGFloat x = 0;
  for (const BarButton& entry : buttons) {
    id button = NewView("UIButton", {{x, 0}, {kSide, kSide}});
    Message(button, "setTag:", entry.tag);
    if (entry.image != nullptr) Message(button, "setImage:forState:", entry.image, kNormalState);
    Message(bar, "addSubview:", button);
    Message(button, "release");
    x += kSide;
  }
  return bar;
}

}  // namespace device
