#pragma once

#include <objc/runtime.h>

#include "settings/SettingsKeys.h"

namespace umbravista {

// The colour that `setting` gives now: reads the settings file afresh (one full read and parse),
// takes the object stored under the setting's key (nil when the key is absent or there are no
// settings) and answers libcolorpicker's colour for it and the setting's fallback. Does not ask
// ThemeGate. The answer is libcolorpicker's, handed on under the platform's rules for a
// convenience constructor (autoreleased); the lookup keeps nothing.
id LookUpColour(const ColourSetting& setting);

}  // namespace umbravista
