// The background tune: eight bars in D major at 73 beats a minute that play round and round
// while the window is open. Bar 8 ends on A7, whose C# in the bass walks up into the D of bar
// 1, so the end leads back into the start without a break. Every part is written out below
// as notes; nothing is random.

#include <algorithm>
#include <array>
#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

#include "assetgen.h"

namespace densilo::assetgen {
namespace {

constexpr int kTicksPerQuarter = 480;
constexpr int k16th = kTicksPerQuarter / 4;
constexpr int kBar = 16 * k16th;
constexpr int kBars = 8;
constexpr int kLoop = kBars * kBar;
constexpr std::uint32_t kMicrosecondsPerQuarter = 821918;  // 73 beats a minute

// Channels (status nibble) and their General MIDI programs.
constexpr std::uint8_t kMelody = 0;   // Flute
constexpr std::uint8_t kBass = 1;     // Electric Bass (finger)
constexpr std::uint8_t kPad = 2;      // Pad 2 (warm)
constexpr std::uint8_t kArp = 3;      // Orchestral Harp
constexpr std::uint8_t kPiano = 4;    // Electric Piano 1
constexpr std::uint8_t kStrings = 5;  // String Ensemble 2
constexpr std::uint8_t kDrums = 9;    // the percussion channel

struct ChannelSetup {
  std::uint8_t channel;
  int program;  // -1: none, the percussion channel keeps its standard kit
  std::uint8_t volume, pan, reverb;
};

constexpr std::array<ChannelSetup, 7> kSetup{{
    {kMelody, 73, 100, 64, 50},
    {kBass, 33, 96, 60, 20},
    {kPad, 89, 64, 64, 70},
    {kArp, 46, 72, 88, 60},
    {kPiano, 4, 60, 40, 50},
    {kStrings, 49, 56, 76, 70},
    {kDrums, -1, 70, 64, 30},
}};

// Note names used by the score (MIDI key numbers); R is a rest in a line.
// clang-format off
enum : std::uint8_t {
  R = 0,
  A1 = 33, B1 = 35, Cs2 = 37, D2 = 38, E2 = 40, Fs2 = 42, G2 = 43, Gs2 = 44, A2 = 45, B2 = 47,
  G3 = 55, A3 = 57, B3 = 59, Cs4 = 61, D4 = 62, E4 = 64, Fs4 = 66, G4 = 67, A4 = 69, B4 = 71,
  Cs5 = 73, D5 = 74, E5 = 76, Fs5 = 78, G5 = 79, A5 = 81, B5 = 83,
};
// clang-format on

struct Note {
  int start, length;
  std::uint8_t channel, key, velocity;
};

struct Step {
  std::uint8_t key;
  int sixteenths;
};

class Score {
 public:
  void add(int start, int length, std::uint8_t channel, std::uint8_t key, int velocity) {
    notes_.push_back({start, length, channel, key, static_cast<std::uint8_t>(velocity)});
  }

  // Plays the steps one after another from `start`. Each note lets go `gap` ticks before the
  // next begins, so a repeated key strikes again cleanly. Gives the time after the last step.
  int line(int start, std::uint8_t channel, int velocity, int gap,
           std::initializer_list<Step> steps) {
    int t = start;
    for (const Step& s : steps) {
      const int length = s.sixteenths * k16th;
      if (s.key != R)
        add(t, length - gap, channel, s.key, velocity);
      t += length;
    }
    return t;
  }

  const std::vector<Note>& notes() const { return notes_; }

 private:
  std::vector<Note> notes_;
};

// The harmony, one chord per bar and two in the last: Dmaj7 | Bm7 | Gadd9 | A | D/F# | Em7 |
// Gmaj7 | A7sus4 A7. Bar 3 takes the ninth instead of the seventh because the melody sits on
// G there, and F# under it would grind. Voicings move by steps from one chord to the next,
// and the last (A7) leads into the first.
struct Chord {
  int start, length;
  std::array<std::uint8_t, 4> pad;   // sustained voicing, the root left to the bass
  std::array<std::uint8_t, 5> harp;  // the tones the arpeggio climbs through
};

constexpr std::array<Chord, 9> kChords{{
    {0 * kBar, kBar, {A3, Cs4, Fs4, A4}, {A3, Fs4, A4, Cs5, E5}},               // Dmaj7
    {1 * kBar, kBar, {A3, D4, Fs4, A4}, {B3, Fs4, A4, Cs5, D5}},                // Bm7
    {2 * kBar, kBar, {G3, D4, A4, B4}, {G3, D4, A4, B4, D5}},                   // Gadd9
    {3 * kBar, kBar, {A3, Cs4, E4, A4}, {A3, E4, A4, B4, Cs5}},                 // A
    {4 * kBar, kBar, {A3, D4, Fs4, A4}, {A3, D4, Fs4, A4, D5}},                 // D/F#
    {5 * kBar, kBar, {B3, D4, G4, B4}, {E4, G4, B4, D5, Fs5}},                  // Em7
    {6 * kBar, kBar, {B3, D4, Fs4, B4}, {G3, D4, Fs4, B4, D5}},                 // Gmaj7
    {7 * kBar, kBar / 2, {A3, D4, E4, G4}, {A3, E4, G4, A4, D5}},               // A7sus4
    {7 * kBar + kBar / 2, kBar / 2, {A3, Cs4, E4, G4}, {A3, E4, G4, A4, Cs5}},  // A7
}};

void write_melody(Score& s) {
  // Two four-bar phrases that begin alike: the first rests on the dominant in bar 4, the
  // second falls to A and climbs C#, E toward the F# that opens bar 1 again.
  s.line(0, kMelody, 84, 24, {{Fs5, 6}, {E5, 2},  {Fs5, 4}, {A5, 4},  //
                              {B5, 8},  {A5, 4},  {Fs5, 4},           //
                              {G5, 6},  {Fs5, 2}, {E5, 4},  {D5, 4},  //
                              {E5, 12}, {R, 4},                       //
                              {Fs5, 6}, {E5, 2},  {Fs5, 4}, {B5, 4},  //
                              {A5, 6},  {G5, 2},  {Fs5, 4}, {E5, 4},  //
                              {D5, 6},  {E5, 2},  {B4, 8},            //
                              {A4, 8},  {Cs5, 4}, {E5, 4}});
  // In the second phrase a softer second voice joins below, mostly in thirds.
  // clang-format off
  s.line(4 * kBar, kMelody, 60, 24,
         {{D5, 6}, {Cs5, 2}, {D5, 4}, {Fs5, 4},   //
          {E5, 6}, {E5, 2},  {D5, 4}, {B4, 4},    //
          {B4, 6}, {A4, 2},  {Fs4, 8},            //
          {E4, 8}, {A4, 4},  {Cs5, 4}});
  // clang-format on
}

void write_bass(Score& s) {
  s.line(0, kBass, 88, 40, {{D2, 8},  {A1, 4},  {Cs2, 4},            //
                            {B1, 8},  {Fs2, 4}, {A2, 2},  {Fs2, 2},  //
                            {G2, 8},  {D2, 4},  {B1, 4},             //
                            {A1, 6},  {A1, 2},  {Cs2, 4}, {E2, 4},   //
                            {Fs2, 8}, {A2, 4},  {Fs2, 4},            //
                            {E2, 8},  {B1, 4},  {E2, 2},  {D2, 2},   //
                            {G2, 8},  {B2, 4},  {Gs2, 4},            //
                            {A2, 6},  {A2, 2},  {E2, 4},  {Cs2, 4}});
}

void write_harmony(Score& s) {
  for (const Chord& c : kChords) {
    for (std::uint8_t key : c.pad)
      s.add(c.start, c.length - 10, kPad, key, 56);
    // The electric piano touches the upper three pad notes on beat two, just before beat
    // four and on it: a lazy off-beat that never lands on the bar line.
    static constexpr std::array<std::pair<int, int>, 3> kComp{{{4, 3}, {10, 2}, {12, 3}}};
    for (auto [at, len] : kComp) {
      const int t = (c.start / kBar) * kBar + at * k16th;
      if (t < c.start || t >= c.start + c.length)
        continue;
      const int velocity = at == 10 ? 38 : 46;
      for (std::size_t i = 1; i < c.pad.size(); ++i) {
        s.add(t, len * k16th - 10, kPiano, c.pad[i], velocity);
      }
    }
    // The harp ripples through the chord in sixteenths, leaning on each beat.
    static constexpr std::array<std::size_t, 16> kShape{0, 1, 2, 3, 4, 3, 2, 1,
                                                        0, 2, 1, 3, 2, 4, 3, 1};
    const int first =
        (c.start % kBar) / k16th;  // the second chord of a bar goes on from the middle
    for (int i = 0; i * k16th < c.length; ++i) {
      const int step = first + i;
      const std::uint8_t key = c.harp[kShape[static_cast<std::size_t>(step) % kShape.size()]];
      const int velocity = step % 4 == 0 ? 58 : step % 2 == 0 ? 48 : 40;
      s.add(c.start + i * k16th, k16th - 8, kArp, key, velocity);
    }
  }
}

void write_strings(Score& s) {
  // A slow inner line under the melody: mostly chord thirds and fifths, moving by step.
  s.line(0, kStrings, 52, 20,
         {{A4, 16},  //
          {A4, 8},
          {Fs4, 8},  //
          {B4, 16},  //
          {Cs5, 12},
          {B4, 4},   //
          {A4, 16},  //
          {B4, 8},
          {G4, 8},  //
          {D5, 8},
          {B4, 8},  //
          {D5, 8},
          {Cs5, 8}});
}

void write_drums(Score& s) {
  constexpr std::uint8_t kKick = 36, kStick = 37, kClosedHat = 42, kRide = 51, kShaker = 70;
  for (int bar = 0; bar < kBars; ++bar) {
    const int t0 = bar * kBar;
    // Hi-hat in the first phrase; the second rides a little brighter on the ride cymbal.
    const std::uint8_t cymbal = bar < 4 ? kClosedHat : kRide;
    for (int i = 0; i < 8; ++i)
      s.add(t0 + i * 2 * k16th, k16th, kDrums, cymbal, i % 2 ? 30 : 44);
    s.add(t0, k16th, kDrums, kKick, 70);
    s.add(t0 + 8 * k16th, k16th, kDrums, kKick, 50);
    s.add(t0 + 4 * k16th, k16th, kDrums, kStick, 50);
    s.add(t0 + 12 * k16th, k16th, kDrums, kStick, 54);
    // A soft pick-up into the next phrase.
    if (bar % 4 == 3)
      s.add(t0 + 14 * k16th, k16th, kDrums, kKick, 40);
    // A shaker on the off sixteenths keeps a quiet pulse.
    for (int i = 1; i < 16; i += 2)
      s.add(t0 + i * k16th, k16th / 2, kDrums, kShaker, 26);
  }
}

void put_varlen(Bytes& out, std::uint32_t v) {
  std::array<std::uint8_t, 5> groups{};
  std::size_t n = 0;
  do {
    groups[n++] = static_cast<std::uint8_t>(v & 0x7Fu);
    v >>= 7;
  } while (v != 0);
  while (n > 1)
    out.push_back(static_cast<std::uint8_t>(groups[--n] | 0x80u));
  out.push_back(groups[0]);
}

struct Event {
  int tick;
  bool on;
  std::uint8_t channel, key, velocity;
};

}  // namespace

Bytes make_tune() {
  Score score;
  write_melody(score);
  write_bass(score);
  write_harmony(score);
  write_strings(score);
  write_drums(score);

  std::vector<Event> events;
  for (const Note& n : score.notes()) {
    events.push_back({n.start, true, n.channel, n.key, n.velocity});
    events.push_back({n.start + n.length, false, n.channel, n.key, 0});
  }
  // At one instant, releases come before new strikes so a repeated key is not cut short;
  // grouping by channel then lets running status carry the most.
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    return std::tuple(a.tick, a.on, a.channel, a.key) < std::tuple(b.tick, b.on, b.channel, b.key);
  });

  Bytes track;
  auto meta = [&track](std::uint8_t type, std::initializer_list<std::uint8_t> data) {
    put_varlen(track, 0);
    track.push_back(0xFF);
    track.push_back(type);
    put_varlen(track, static_cast<std::uint32_t>(data.size()));
    track.insert(track.end(), data);
  };
  meta(0x03, {'D', 'e', 'n', 's', 'i', 'l', 'o'});  // track name
  meta(0x58, {4, 2, 24, 8});                        // 4/4, metronome every quarter
  meta(0x59, {2, 0});                               // D major
  meta(0x51, {static_cast<std::uint8_t>(kMicrosecondsPerQuarter >> 16),
              static_cast<std::uint8_t>((kMicrosecondsPerQuarter >> 8) & 0xFF),
              static_cast<std::uint8_t>(kMicrosecondsPerQuarter & 0xFF)});
  for (const ChannelSetup& c : kSetup) {
    if (c.program >= 0) {
      put_varlen(track, 0);
      track.push_back(static_cast<std::uint8_t>(0xC0 | c.channel));
      track.push_back(static_cast<std::uint8_t>(c.program));
    }
    put_varlen(track, 0);
    track.push_back(static_cast<std::uint8_t>(0xB0 | c.channel));
    for (auto [controller, value] :
         {std::pair<int, int>{7, c.volume}, {10, c.pan}, {91, c.reverb}}) {
      if (controller != 7)
        put_varlen(track, 0);  // running status after the first
      track.push_back(static_cast<std::uint8_t>(controller));
      track.push_back(static_cast<std::uint8_t>(value));
    }
  }

  // Notes; a release is a note-on with velocity 0, so runs of them share one status byte.
  int now = 0;
  int status = -1;
  for (const Event& e : events) {
    put_varlen(track, static_cast<std::uint32_t>(e.tick - now));
    now = e.tick;
    const int s = 0x90 | e.channel;
    if (s != status)
      track.push_back(static_cast<std::uint8_t>(s));
    status = s;
    track.push_back(e.key);
    track.push_back(e.velocity);
  }
  // End of Track exactly at the loop point, however the last release falls.
  put_varlen(track, static_cast<std::uint32_t>(kLoop - now));
  track.insert(track.end(), {0xFF, 0x2F, 0x00});

  Bytes out;
  put_text(out, "MThd");
  put_be32(out, 6);
  put_be16(out, 0);  // format 0: one track
  put_be16(out, 1);
  put_be16(out, kTicksPerQuarter);
  put_text(out, "MTrk");
  put_be32(out, static_cast<std::uint32_t>(track.size()));
  out.insert(out.end(), track.begin(), track.end());
  return out;
}

}  // namespace densilo::assetgen
