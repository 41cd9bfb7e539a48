#include "sounds.h"

#include <cmath>

#include "wav.h"

namespace art {
namespace {

// A "ding-dong" whose pitch says which announcement it stands for.
template <int Semitones>
std::vector<std::int16_t> announcement() {
  const double base = 660.0 * std::pow(2.0, Semitones / 12.0);
  const Note notes[] = {{base, 0.35}, {base * 0.8, 0.6}};
  return chime(notes, kSoundRate, 0.5);
}

// The autopilot's disconnect: a falling three-note chime, about a second long.
std::vector<std::int16_t> disconnect_chime() {
  const Note notes[] = {{1320.0, 0.25}, {990.0, 0.25}, {660.0, 0.5}};
  return chime(notes, kSoundRate, 0.5);
}

// The level-off alert: a steady tone of 0.8 s.
std::vector<std::int16_t> level_off_tone() { return tone(880.0, 0.8, kSoundRate, 0.4); }

// The HSI switch's click: a detent snap that rings down within about 40 ms. The file runs on in
// silence to the length of the other cockpit sounds; the gauge takes only its first 0.1 s.
std::vector<std::int16_t> switch_click() {
  constexpr double kPi = 3.14159265358979323846;
  const int snap = kSoundRate * 40 / 1000;
  std::vector<std::int16_t> s(kSoundRate * 55 / 100, 0);
  std::uint32_t x = 0x2545F491u;  // fixed seed: the same click on every build
  for (int i = 0; i < snap; ++i) {
    const double t = static_cast<double>(i) / kSoundRate;
    x = x * 1664525u + 1013904223u;
    const double noise = static_cast<double>(x >> 16) / 32768.0 - 1.0;
    const double body = std::sin(2.0 * kPi * 1800.0 * t);
    const double envelope = std::exp(-t / 0.008);
    s[static_cast<std::size_t>(i)] =
        static_cast<std::int16_t>(std::lround(0.7 * 32767.0 * envelope * (0.6 * noise + 0.4 * body)));
  }
  return s;
}

// A few announcements per category, with gaps, so the choice has something to choose from.
constexpr SoundDef kSounds[] = {
    {"Sound/CD_CapClimb_0.wav", &announcement<0>},     {"Sound/CD_CapClimb_1.wav", &announcement<1>},
    {"Sound/CD_Rotate_0.wav", &announcement<2>},       {"Sound/CD_AfterLanding_1.wav", &announcement<3>},
    {"Sound/CD_AfterLanding_2.wav", &announcement<4>}, {"Sound/CD_AfterLanding_3.wav", &announcement<5>},
    {"Sound/CD_BoardingDone_4.wav", &announcement<6>}, {"Sound/PB_ByeBye_5.wav", &announcement<7>},
    {"Sound/CD_Music_3.wav", &announcement<8>},        {"Sound/CD_Music_9.wav", &announcement<9>},
    {"Sound/-apdisco.wav", &disconnect_chime},         {"Sound/LevelWarning.wav", &level_off_tone},
    {"Sound/Nordel_HSI_Switch.wav", &switch_click},
};

}  // namespace

std::span<const SoundDef> cockpit_sounds() { return kSounds; }

}  // namespace art
