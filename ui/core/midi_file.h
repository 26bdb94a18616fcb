#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace densilo::core {

// Event types in the high byte of StreamEvent::event, with the values Windows' MIDI stream
// output gives them.
inline constexpr std::uint8_t kStreamShortMessage = 0x00;
inline constexpr std::uint8_t kStreamTempo = 0x01;
inline constexpr std::uint8_t kStreamNop = 0x02;

// One event of a MIDI stream buffer, laid out like Windows' MIDIEVENT without its optional
// parameter array, so a vector of them can be handed to the stream output as it is.
struct StreamEvent {
  std::uint32_t delta_ticks;  // since the event before
  std::uint32_t stream_id;    // always 0
  // High byte: the type. Low 24 bits: for a short message status | data1 << 8 | data2 << 16,
  // for a tempo the microseconds per quarter note, for a no-op nothing.
  std::uint32_t event;

  friend bool operator==(const StreamEvent&, const StreamEvent&) = default;
};
static_assert(sizeof(StreamEvent) == 12, "the stream output reads three packed 32-bit fields");

inline std::uint8_t stream_event_type(const StreamEvent& e) {
  return static_cast<std::uint8_t>(e.event >> 24);
}

struct MidiSong {
  std::uint16_t ticks_per_quarter_note = 0;
  // All tracks merged in time order. A trailing no-op carries the time from the last sound
  // to the end of the longest track, so a loop keeps the song's full length. No-ops also carry
  // any gap too long for one delta.
  std::vector<StreamEvent> events;
};

enum class MidiError {
  kNone,
  kNotMidi,              // no "MThd" header chunk at the start
  kBadHeader,            // header too short, format 0 without exactly one track, no tracks
  kUnsupportedFormat,    // format 2 (independent sequences) or an unknown format
  kUnsupportedDivision,  // SMPTE time code instead of ticks per quarter note, or zero
  kTruncated,            // a chunk, a track or an event goes beyond the data
  kBadNumber,            // a variable-length number of more than four bytes
  kNoRunningStatus,      // data bytes with no status before them in the track
  kBadEvent,             // a status byte a file cannot hold, a data byte of 0x80 or more,
                         // a tempo event whose length is not 3 or whose tempo is 0
  kMissingEndOfTrack,    // a track's data ends without its End of Track event
};

struct MidiReadResult {
  MidiError error = MidiError::kNone;
  std::optional<MidiSong> song;  // present exactly when error is kNone
};

// Reads a Standard MIDI File of format 0 or 1. Channel messages (running status included) and
// tempo changes are kept; system exclusive and other meta events are dropped and their delta
// times go to the next kept event. Chunks of unknown type are skipped.
MidiReadResult read_midi_file(std::span<const std::uint8_t> bytes);

}  // namespace densilo::core
