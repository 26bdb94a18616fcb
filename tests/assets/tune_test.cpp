// tune.mid: a format-0 Standard MIDI File at 480 ticks per quarter, 4/4 and 821,918 us per
// quarter, on seven channels including percussion, that loops cleanly: every note is
// released before End of Track, which falls on a bar line about 27 seconds in.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "asset_files.h"

namespace densilo::asset_test {
namespace {

struct Event {
  std::uint32_t tick = 0;
  std::uint8_t status = 0;  // channel message status, or 0xFF for a meta event
  std::uint8_t a = 0, b = 0;
  std::uint8_t meta_type = 0;
  Bytes meta;
};

// A strict walk of the one track: any bad length, stray data byte or missing End of Track
// gives nothing, so the checks below never see half a file.
std::optional<std::vector<Event>> read_track(const Bytes& f, std::size_t begin, std::size_t end) {
  std::vector<Event> out;
  std::size_t at = begin;
  std::uint32_t tick = 0;
  std::uint8_t running = 0;
  auto varlen = [&](std::uint32_t& v) {
    v = 0;
    for (int i = 0; i < 4; ++i) {
      if (at >= end)
        return false;
      const std::uint8_t byte = f[at++];
      v = v << 7 | (byte & 0x7Fu);
      if ((byte & 0x80) == 0)
        return true;
    }
    return false;
  };
  while (at < end) {
    std::uint32_t delta = 0;
    if (!varlen(delta))
      return std::nullopt;
    tick += delta;
    if (at >= end)
      return std::nullopt;
    Event e;
    e.tick = tick;
    std::uint8_t status = f[at];
    if (status == 0xFF) {
      if (at + 2 > end)
        return std::nullopt;
      e.status = 0xFF;
      e.meta_type = f[at + 1];
      at += 2;
      std::uint32_t length = 0;
      if (!varlen(length) || at + length > end)
        return std::nullopt;
      e.meta.assign(f.begin() + static_cast<std::ptrdiff_t>(at),
                    f.begin() + static_cast<std::ptrdiff_t>(at + length));
      at += length;
      running = 0;  // meta events cancel running status
      out.push_back(std::move(e));
      if (out.back().meta_type == 0x2F)
        return at == end ? std::optional(out) : std::nullopt;
      continue;
    }
    if (status == 0xF0 || status == 0xF7)
      return std::nullopt;  // the tune has no sysex
    if (status & 0x80) {
      running = status;
      ++at;
    } else if (running == 0) {
      return std::nullopt;
    }
    e.status = running;
    const std::size_t data = (running & 0xF0) == 0xC0 || (running & 0xF0) == 0xD0 ? 1 : 2;
    if (at + data > end)
      return std::nullopt;
    e.a = f[at];
    e.b = data == 2 ? f[at + 1] : 0;
    if ((e.a | e.b) & 0x80)
      return std::nullopt;
    at += data;
    out.push_back(std::move(e));
  }
  return std::nullopt;  // no End of Track
}

constexpr std::uint32_t kTicksPerQuarter = 480;
constexpr std::uint32_t kTempo = 821918;
constexpr std::size_t kTrack = 14 + 8;

class Tune : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GE(f_.size(), kTrack);
    ASSERT_EQ(tag(f_, 14, 4), "MTrk");
    const std::size_t length = be32(f_, 18);
    ASSERT_EQ(kTrack + length, f_.size()) << "the one track fills the rest of the file";
    auto events = read_track(f_, kTrack, f_.size());
    ASSERT_TRUE(events.has_value()) << "the track does not read cleanly to End of Track";
    events_ = std::move(*events);
  }

  std::vector<const Event*> metas(std::uint8_t type) const {
    std::vector<const Event*> out;
    for (const Event& e : events_) {
      if (e.status == 0xFF && e.meta_type == type)
        out.push_back(&e);
    }
    return out;
  }

  Bytes f_ = read_asset("tune.mid");
  std::vector<Event> events_;
};

TEST_F(Tune, HeaderIsFormatZeroWithOneTrackAt480Ticks) {
  EXPECT_EQ(tag(f_, 0, 4), "MThd");
  EXPECT_EQ(be32(f_, 4), 6u);
  EXPECT_EQ(be16(f_, 8), 0u) << "format";
  EXPECT_EQ(be16(f_, 10), 1u) << "tracks";
  EXPECT_EQ(be16(f_, 12), kTicksPerQuarter);
}

TEST_F(Tune, SizeIsAboutFourKilobytes) {
  EXPECT_GE(f_.size(), 3'000u);
  EXPECT_LE(f_.size(), 5'500u);
}

TEST_F(Tune, OneTempoAndFourFourTimeAtTheStart) {
  const auto tempos = metas(0x51);
  ASSERT_EQ(tempos.size(), 1u);
  EXPECT_EQ(tempos[0]->tick, 0u);
  ASSERT_EQ(tempos[0]->meta.size(), 3u);
  EXPECT_EQ(be32(Bytes{0, tempos[0]->meta[0], tempos[0]->meta[1], tempos[0]->meta[2]}, 0), kTempo);

  const auto signatures = metas(0x58);
  ASSERT_EQ(signatures.size(), 1u);
  EXPECT_EQ(signatures[0]->tick, 0u);
  ASSERT_EQ(signatures[0]->meta.size(), 4u);
  EXPECT_EQ(signatures[0]->meta[0], 4) << "numerator";
  EXPECT_EQ(signatures[0]->meta[1], 2) << "denominator as a power of two: quarters";
}

TEST_F(Tune, SevenChannelsWithProgramsOnEveryMelodicOne) {
  std::set<int> played;
  std::map<int, std::uint32_t> program_tick;
  std::map<int, std::uint32_t> first_note;
  for (const Event& e : events_) {
    if (e.status == 0xFF)
      continue;
    const int channel = e.status & 0x0F;
    const int kind = e.status & 0xF0;
    if (kind == 0xC0 && !program_tick.contains(channel))
      program_tick[channel] = e.tick;
    if (kind == 0x90 && e.b > 0) {
      played.insert(channel);
      first_note.try_emplace(channel, e.tick);
    }
  }
  EXPECT_EQ(played.size(), 7u);
  EXPECT_TRUE(played.contains(9)) << "the percussion channel (10)";
  for (int channel : played) {
    if (channel == 9)
      continue;
    ASSERT_TRUE(program_tick.contains(channel)) << "channel " << channel + 1;
    EXPECT_LE(program_tick[channel], first_note[channel]) << "channel " << channel + 1;
  }
}

// Every note-on finds its note-off (or a note-on with velocity 0) on the same channel and
// key before End of Track; a key struck again while still held would hang on some synths.
TEST_F(Tune, EveryNoteIsReleasedBeforeEndOfTrack) {
  std::map<std::pair<int, int>, std::uint32_t> held;
  int notes = 0;
  for (const Event& e : events_) {
    if (e.status == 0xFF) {
      if (e.meta_type == 0x2F) {
        EXPECT_TRUE(held.empty()) << held.size() << " notes still held at End of Track";
      }
      continue;
    }
    const int kind = e.status & 0xF0;
    const std::pair key{e.status & 0x0F, int{e.a}};
    if (kind == 0x90 && e.b > 0) {
      EXPECT_FALSE(held.contains(key)) << "key " << key.second << " struck twice at " << e.tick;
      held[key] = e.tick;
      ++notes;
    } else if (kind == 0x80 || kind == 0x90) {
      EXPECT_TRUE(held.erase(key) == 1) << "release of a key not held at " << e.tick;
    }
  }
  EXPECT_GT(notes, 100);
}

// The player starts the file again the moment it ends: the music must fill the whole span
// from tick 0 to End of Track, which lies on a bar line, or each loop stumbles.
TEST_F(Tune, LoopsOnABarLineAfterAbout27Seconds) {
  const Event& last = events_.back();
  ASSERT_EQ(last.meta_type, 0x2F);
  constexpr std::uint32_t kBar = 4 * kTicksPerQuarter;
  EXPECT_EQ(last.tick % kBar, 0u);
  const double seconds = last.tick * (kTempo / 1e6) / kTicksPerQuarter;
  EXPECT_GE(seconds, 26.0);
  EXPECT_LE(seconds, 28.0);

  std::uint32_t first_on = last.tick, last_off = 0;
  for (const Event& e : events_) {
    const int kind = e.status & 0xF0;
    if (e.status == 0xFF)
      continue;
    if (kind == 0x90 && e.b > 0)
      first_on = std::min(first_on, e.tick);
    if (kind == 0x80 || (kind == 0x90 && e.b == 0))
      last_off = std::max(last_off, e.tick);
  }
  EXPECT_EQ(first_on, 0u) << "no silent lead-in";
  EXPECT_GE(last_off + kTicksPerQuarter / 4, last.tick) << "no silent tail";
}

}  // namespace
}  // namespace densilo::asset_test
