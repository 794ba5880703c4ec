// The sound the tab window plays as it opens: the user's sound for the program's Open event
// when the sound scheme names one, else the program's own wave; none when sounds are off.
#pragma once
#include <string>

namespace app {

inline constexpr const char* kOpenSoundKey = "AppEvents\\Schemes\\Apps\\Tallowick\\Open\\.current";
inline constexpr int kOpenSoundResource = 170;

struct OpenSound {
  bool play = false;
  std::string file;  // empty: the wave resource kOpenSoundResource
};

// Reads option Sound and the default value of HKCU\<kOpenSoundKey>.
OpenSound ChooseOpenSound();

}  // namespace app
