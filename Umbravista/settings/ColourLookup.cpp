#include "settings/ColourLookup.h"

#include "libcolorpicker.h"
#include "platform/Foundation.h"
#include "settings/SettingsDictionary.h"

namespace umbravista {

id LookUpColour(const ColourSetting& setting) {
  const SettingsDictionary settings = SettingsDictionary::ReadFromDevice();
  id value = platform::NewObjectForValue(settings.ValueForKey(setting.key));
  id fallback = platform::NewString(setting.fallback);
  id colour = LCPParseColorString(value, fallback);
  platform::Release(fallback);
  platform::Release(value);
  return colour;
}

}  // namespace umbravista
