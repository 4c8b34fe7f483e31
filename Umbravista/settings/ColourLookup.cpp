#include "settings/ColourLookup.h"

#include "libcolorpicker.h"
#include "platform/Foundation.h"
#include "settings/SettingsFile.h"

namespace umbravista {

id LookUpColour(const ColourSetting& setting) {
  id value = nullptr;
  {
    // The read ends here: nothing of it outlives the object made from its value.
    SettingsRead read;
    const SettingsLookup lookup = read.LookUp(setting.key);
    if (lookup.verdict == Verdict::kSettings && lookup.value) {
      value = platform::NewObjectForValue(*lookup.value);
    }
  }
  id fallback = platform::NewString(setting.fallback);
  id colour = LCPParseColorString(value, fallback);
  platform::Release(fallback);
  platform::Release(value);
  return colour;
}

}  // namespace umbravista
