#include "app/open_sound.h"

#include "platform/registry_access.h"
#include "settings/options.h"

namespace app {

OpenSound ChooseOpenSound() {
  OpenSound sound;
  if (settings::Get(settings::Opt::Sound) <= 0) return sound;
  sound.play = true;
  sound.file = reg::GetRegString(HKEY_CURRENT_USER, kOpenSoundKey, "");
  return sound;
}

}  // namespace app
