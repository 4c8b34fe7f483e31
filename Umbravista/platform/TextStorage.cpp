#include "platform/TextStorage.h"

#include "Foundation/Foundation.h"
#include "UIKit/UIKit.h"
#include "platform/ObjectiveC.h"

namespace umbravista::platform {

void AddAttributeFromStart(id textStorage, id name, id value, unsigned long length) {
  Send(textStorage, "addAttribute:value:range:"_sel, name, value, NSRange{0, length});
}

id ForegroundColourAttributeName() {
  return NSForegroundColorAttributeName;
}

id BackgroundColourAttributeName() {
  return NSBackgroundColorAttributeName;
}

}  // namespace umbravista::platform
