#include "device/UIKit/UIKitDevice.h"

namespace device {

void RegisterUIColor();
void RegisterUIView();
void RegisterUITextInputTraits();
void RegisterUITextSelectionView();
void RegisterUIStatusBars();
void RegisterUIViewControllers();
void RegisterUILabels();
void RegisterUITextField();
void RegisterNSTextStorage();
void RegisterUITextView();
void SetAttributeNames();
void RegisterUIKitGraphics();
void RegisterUIKitChrome();
void RegisterUIKeyboard();
void RegisterUIDevice();

void RegisterUIKit() {
  RegisterUIColor();
  RegisterUIView();
  RegisterUITextInputTraits();
  RegisterUITextSelectionView();
  RegisterUIStatusBars();
  RegisterUIViewControllers();
  RegisterUILabels();
  RegisterUITextField();
  RegisterNSTextStorage();
  RegisterUITextView();
  SetAttributeNames();
  RegisterUIKitGraphics();
  RegisterUIKitChrome();
  RegisterUIKeyboard();
  RegisterUIDevice();
}

}  // namespace device
