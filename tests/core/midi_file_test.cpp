#include "ui/core/midi_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace densilo::core;
using Bytes = std::vector<std::uint8_t>;

// Small builders so each fixture reads as the events it holds.
Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts)
    out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes be32(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

Bytes chunk(const char* tag, const Bytes& body) {
  return cat({Bytes(tag, tag + 4), be32(static_cast<std::uint32_t>(body.size())), body});
}

Bytes header(int format, int tracks, int division) {
  return chunk("MThd", {0, static_cast<std::uint8_t>(format), 0, static_cast<std::uint8_t>(tracks),
                        static_cast<std::uint8_t>(division >> 8),
                        static_cast<std::uint8_t>(division & 0xFF)});
}

Bytes track(const Bytes& events) {
  return chunk("MTrk", events);
}

const Bytes kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

Bytes song(const Bytes& events) {
  return cat({header(0, 1, 480), track(cat({events, kEndOfTrack}))});
}

constexpr StreamEvent note(std::uint32_t delta, std::uint32_t status, std::uint32_t data1,
                           std::uint32_t data2 = 0) {
  return {delta, 0, status | data1 << 8 | data2 << 16};
}
constexpr StreamEvent tempo(std::uint32_t delta, std::uint32_t microseconds) {
  return {delta, 0, 0x01000000u | microseconds};
}
constexpr StreamEvent nop(std::uint32_t delta) {
  return {delta, 0, 0x02000000u};
}

std::vector<StreamEvent> events_of(const Bytes& file) {
  const MidiReadResult r = read_midi_file(file);
  EXPECT_EQ(r.error, MidiError::kNone);
  EXPECT_TRUE(r.song.has_value());
  return r.song ? r.song->events : std::vector<StreamEvent>{};
}

}  // namespace

namespace densilo::core {
// Readable failures: events in hex, errors by number.
void PrintTo(const StreamEvent& e, std::ostream* os) {
  *os << "{delta " << e.delta_ticks << ", stream " << e.stream_id << ", event 0x" << std::hex
      << e.event << std::dec << "}";
}
}  // namespace densilo::core

namespace {

TEST(ReadMidiFile, FormatZeroWithTempoRunningStatusAndTheEndOfTrackTime) {
  const Bytes file = cat({header(0, 1, 480), track({
                                                 0x00, 0xFF, 0x51, 0x03, 0x0C, 0x8A, 0x9E,  // tempo
                                                 0x00, 0x90, 60,   100,   // note on
                                                 0x00, 64,   90,          // running status
                                                 0x83, 0x60, 60,   0,     // 480 ticks later
                                                 0x00, 0x80, 64,   0x40,  // note off
                                                 0x83, 0x60, 0xFF, 0x2F, 0x00,
                                             })});
  const MidiReadResult r = read_midi_file(file);
  ASSERT_EQ(r.error, MidiError::kNone);
  ASSERT_TRUE(r.song.has_value());
  EXPECT_EQ(r.song->ticks_per_quarter_note, 480);
  // 0x0C8A5E is 821,918 microseconds per quarter note.
  EXPECT_EQ(r.song->events, (std::vector<StreamEvent>{tempo(0, 821918), note(0, 0x90, 60, 100),
                                                      note(0, 0x90, 64, 90), note(480, 0x90, 60, 0),
                                                      note(0, 0x80, 64, 0x40), nop(480)}));
  for (const StreamEvent& e : r.song->events)
    EXPECT_EQ(e.stream_id, 0u);
}

TEST(ReadMidiFile, SkippedEventsPassTheirTimeOnToTheNextKeptOne) {
  EXPECT_EQ(events_of(song({
                0x0A, 0xF0, 0x03, 0x43, 0x12, 0xF7,         // system exclusive
                0x14, 0xFF, 0x01, 0x02, 'h',  'i',          // text
                0x01, 0xF7, 0x01, 0x00,                     // escaped sysex continuation
                0x05, 0xFF, 0x58, 0x04, 4,    2,    24, 8,  // time signature
                0x02, 0xC3, 0x05,                           // program change
            })),
            (std::vector<StreamEvent>{note(38, 0xC3, 5)}));
}

TEST(ReadMidiFile, OneDataByteMessagesUseRunningStatusToo) {
  EXPECT_EQ(events_of(song({0x00, 0xC1, 0x05, 0x10, 0x06, 0x00, 0xD2, 0x40, 0x00, 0x41})),
            (std::vector<StreamEvent>{note(0, 0xC1, 5), note(16, 0xC1, 6), note(0, 0xD2, 0x40),
                                      note(0, 0xD2, 0x41)}));
}

TEST(ReadMidiFile, PitchBendAndControllersKeepBothDataBytes) {
  EXPECT_EQ(events_of(song({0x00, 0xE9, 0x00, 0x40, 0x00, 0xB0, 0x7B, 0x00})),
            (std::vector<StreamEvent>{note(0, 0xE9, 0x00, 0x40), note(0, 0xB0, 0x7B, 0)}));
}

TEST(ReadMidiFile, FormatOneTracksAreMergedByTime) {
  const Bytes file = cat({
      header(1, 3, 96),
      track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo 500,000 at 0
             0x64, 0xFF, 0x2F, 0x00}),                  // ends at 100
      track({0x32, 0x91, 60, 80,                        // at 50
             0x64, 0x91, 60, 0,                         // at 150
             0x32, 0xFF, 0x2F, 0x00}),                  // ends at 200
      track({0x32, 0x92, 67, 80,                        // at 50, after track 2's
             0x00, 0xFF, 0x2F, 0x00}),
  });
  const MidiReadResult r = read_midi_file(file);
  ASSERT_EQ(r.error, MidiError::kNone);
  EXPECT_EQ(r.song->ticks_per_quarter_note, 96);
  EXPECT_EQ(r.song->events,
            (std::vector<StreamEvent>{tempo(0, 500000), note(50, 0x91, 60, 80),
                                      note(0, 0x92, 67, 80), note(100, 0x91, 60, 0), nop(50)}));
}

TEST(ReadMidiFile, SkipsUnknownChunksAndExtraHeaderBytes) {
  const Bytes file = cat({chunk("MThd", {0, 0, 0, 1, 0x01, 0xE0, 0xAA, 0xBB}),
                          chunk("XFIH", {1, 2, 3}), track(cat({{0x00, 0x90, 1, 2}, kEndOfTrack})),
                          chunk("MTrk", {0x00})});  // beyond the track count: never read
  EXPECT_EQ(events_of(file), (std::vector<StreamEvent>{note(0, 0x90, 1, 2)}));
}

TEST(ReadMidiFile, IgnoresBytesAfterTheEndOfTrack) {
  EXPECT_EQ(events_of(cat({header(0, 1, 480),
                           track({0x00, 0x90, 1, 2, 0x00, 0xFF, 0x2F, 0x00, 0x99, 0xFF})})),
            (std::vector<StreamEvent>{note(0, 0x90, 1, 2)}));
}

TEST(ReadMidiFile, GapsTooLongForOneDeltaAreCarriedByNoOps) {
  Bytes events;
  // Twenty skipped events, each the longest delta a file can hold: 20 * 0x0FFFFFFF ticks.
  for (int i = 0; i < 20; ++i)
    events.insert(events.end(), {0xFF, 0xFF, 0xFF, 0x7F, 0xF0, 0x00});
  events.insert(events.end(), {0x00, 0x90, 1, 2});
  EXPECT_EQ(events_of(song(events)),
            (std::vector<StreamEvent>{nop(0xFFFFFFFFu),
                                      note(20u * 0x0FFFFFFFu - 0xFFFFFFFFu, 0x90, 1, 2)}));
}

struct ErrorCase {
  const char* what;
  Bytes file;
  MidiError expected;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
  *os << c.what;
}

class ReadMidiFileError : public testing::TestWithParam<ErrorCase> {};

TEST_P(ReadMidiFileError, FailsCleanlyWithTheReason) {
  const ErrorCase& c = GetParam();
  const MidiReadResult r = read_midi_file(c.file);
  EXPECT_EQ(static_cast<int>(r.error), static_cast<int>(c.expected)) << c.what;
  EXPECT_FALSE(r.song.has_value()) << c.what;
}

const Bytes kNote = {0x00, 0x90, 60, 100};

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadMidiFileError,
    testing::Values(
        ErrorCase{"empty", {}, MidiError::kNotMidi},
        ErrorCase{"another format", cat({chunk("RIFF", {0, 0, 0, 0, 0, 0})}), MidiError::kNotMidi},
        ErrorCase{"header cut short", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0},
                  MidiError::kTruncated},
        ErrorCase{"header length below six", cat({chunk("MThd", {0, 0, 0, 1}), track(kEndOfTrack)}),
                  MidiError::kBadHeader},
        ErrorCase{"format 2", cat({header(2, 1, 480), track(kEndOfTrack)}),
                  MidiError::kUnsupportedFormat},
        ErrorCase{"format 0 with two tracks",
                  cat({header(0, 2, 480), track(kEndOfTrack), track(kEndOfTrack)}),
                  MidiError::kBadHeader},
        ErrorCase{"no tracks", header(1, 0, 480), MidiError::kBadHeader},
        ErrorCase{"SMPTE time division", cat({header(0, 1, 0xE728), track(kEndOfTrack)}),
                  MidiError::kUnsupportedDivision},
        ErrorCase{"zero ticks per quarter note", cat({header(0, 1, 0), track(kEndOfTrack)}),
                  MidiError::kUnsupportedDivision},
        ErrorCase{"a track promised but absent", cat({header(1, 2, 480), track(kEndOfTrack)}),
                  MidiError::kTruncated},
        ErrorCase{"track chunk longer than the file",
                  cat({header(0, 1, 480), Bytes{'M', 'T', 'r', 'k', 0, 0, 1, 0}, kEndOfTrack}),
                  MidiError::kTruncated},
        ErrorCase{"chunk length near 4 GB",
                  cat({header(0, 1, 480), Bytes{'M', 'T', 'r', 'k', 0xFF, 0xFF, 0xFF, 0xFF}}),
                  MidiError::kTruncated},
        ErrorCase{"unknown chunk longer than the file",
                  cat({header(0, 1, 480), Bytes{'J', 'U', 'N', 'K', 0x7F, 0, 0, 0, 1}}),
                  MidiError::kTruncated},
        ErrorCase{"five-byte delta time", song({0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 1, 2}),
                  MidiError::kBadNumber},
        ErrorCase{"five-byte sysex length", song({0x00, 0xF0, 0x80, 0x80, 0x80, 0x80, 0x01}),
                  MidiError::kBadNumber},
        ErrorCase{"delta time cut by the end of the track",
                  cat({header(0, 1, 480), track({0x00, 0x90, 1, 2, 0x81})}), MidiError::kTruncated},
        ErrorCase{"running status with nothing before", song({0x00, 60, 100}),
                  MidiError::kNoRunningStatus},
        ErrorCase{"running status after a sysex",
                  song({0x00, 0x90, 1, 2, 0x00, 0xF0, 0x01, 0xF7, 0x00, 3, 4}),
                  MidiError::kNoRunningStatus},
        ErrorCase{"running status after a meta event",
                  song({0x00, 0x90, 1, 2, 0x00, 0xFF, 0x01, 0x00, 0x00, 3, 4}),
                  MidiError::kNoRunningStatus},
        ErrorCase{"note on cut after one data byte",
                  cat({header(0, 1, 480), track({0x00, 0x90, 60})}), MidiError::kTruncated},
        ErrorCase{"status where a data byte belongs", song({0x00, 0x90, 60, 0x90}),
                  MidiError::kBadEvent},
        ErrorCase{"system common message in a file", song({0x00, 0xF2, 0x00, 0x00}),
                  MidiError::kBadEvent},
        ErrorCase{"real-time message in a file", song({0x00, 0xF8}), MidiError::kBadEvent},
        ErrorCase{"meta event longer than its track",
                  cat({header(0, 1, 480), track({0x00, 0xFF, 0x01, 0x10, 'a'}), kEndOfTrack}),
                  MidiError::kTruncated},
        ErrorCase{"meta type cut off", cat({header(0, 1, 480), track({0x00, 0xFF})}),
                  MidiError::kTruncated},
        ErrorCase{"tempo with two bytes", song({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1}),
                  MidiError::kBadEvent},
        ErrorCase{"tempo of zero", song({0x00, 0xFF, 0x51, 0x03, 0, 0, 0}), MidiError::kBadEvent},
        ErrorCase{"no End of Track", cat({header(0, 1, 480), track(kNote)}),
                  MidiError::kMissingEndOfTrack},
        ErrorCase{"empty track", cat({header(0, 1, 480), track({})}),
                  MidiError::kMissingEndOfTrack},
        ErrorCase{"second track without End of Track",
                  cat({header(1, 2, 480), track(kEndOfTrack), track(kNote)}),
                  MidiError::kMissingEndOfTrack}));

TEST(ReadMidiFile, EveryTruncationOfAGoodFileFails) {
  const Bytes file = cat(
      {header(1, 2, 480),
       track({0x00, 0xFF, 0x51, 0x03, 0x0C, 0x8A, 0x9E, 0x00, 0xF0, 0x02, 0x7E, 0xF7, 0x00, 0xFF,
              0x2F, 0x00}),
       track({0x00, 0xC9, 0x00, 0x00, 0x99, 36, 100, 0x83, 0x60, 36, 0, 0x00, 0xFF, 0x2F, 0x00})});
  ASSERT_EQ(read_midi_file(file).error, MidiError::kNone);
  for (std::size_t length = 0; length < file.size(); ++length) {
    const std::span<const std::uint8_t> prefix(file.data(), length);
    const MidiReadResult r = read_midi_file(prefix);
    EXPECT_NE(r.error, MidiError::kNone) << "cut at " << length;
    EXPECT_FALSE(r.song.has_value());
  }
}

}  // namespace
