#include "ui/core/midi_file.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <utility>

namespace densilo::core {
namespace {

using Bytes = std::span<const std::uint8_t>;

struct TimedEvent {
  std::uint64_t tick;
  std::uint32_t event;
};

std::uint32_t read_be(Bytes bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) {
    value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
  }
  return value;
}

bool has_tag(Bytes bytes, std::size_t at, const char (&tag)[5]) {
  for (std::size_t i = 0; i < 4; ++i) {
    if (bytes[at + i] != static_cast<std::uint8_t>(tag[i]))
      return false;
  }
  return true;
}

// A variable-length number: seven bits a byte, most significant first, at most four bytes.
MidiError read_number(Bytes bytes, std::size_t& at, std::uint32_t& value) {
  value = 0;
  for (int count = 0; count < 4; ++count) {
    if (at >= bytes.size())
      return MidiError::kTruncated;
    const std::uint8_t b = bytes[at++];
    value = (value << 7) | (b & 0x7Fu);
    if ((b & 0x80) == 0)
      return MidiError::kNone;
  }
  return MidiError::kBadNumber;
}

constexpr std::uint32_t stream_event(std::uint8_t type, std::uint32_t parameter) {
  return static_cast<std::uint32_t>(type) << 24 | parameter;
}

MidiError read_track(Bytes track, std::vector<TimedEvent>& out, std::uint64_t& end_tick) {
  std::size_t at = 0;
  std::uint64_t now = 0;
  std::uint8_t running_status = 0;
  while (at < track.size()) {
    std::uint32_t delta = 0;
    if (const MidiError e = read_number(track, at, delta); e != MidiError::kNone)
      return e;
    now += delta;
    if (at >= track.size())
      return MidiError::kTruncated;

    std::uint8_t status = track[at];
    if (status >= 0x80) {
      ++at;
    } else if (running_status != 0) {
      status = running_status;
    } else {
      return MidiError::kNoRunningStatus;
    }

    if (status < 0xF0) {
      running_status = status;
      // Program change and channel pressure carry one data byte, the others two.
      const std::size_t length = (status & 0xE0) == 0xC0 ? 1 : 2;
      if (track.size() - at < length)
        return MidiError::kTruncated;
      const std::uint8_t data1 = track[at];
      const std::uint8_t data2 = length == 2 ? track[at + 1] : 0;
      if (data1 >= 0x80 || data2 >= 0x80)
        return MidiError::kBadEvent;
      at += length;
      out.push_back(
          {now, stream_event(kStreamShortMessage,
                             static_cast<std::uint32_t>(status | data1 << 8 | data2 << 16))});
      continue;
    }

    // System exclusive and meta events end any running status.
    running_status = 0;
    std::uint8_t meta_type = 0;
    if (status == 0xFF) {
      if (at >= track.size())
        return MidiError::kTruncated;
      meta_type = track[at++];
    } else if (status != 0xF0 && status != 0xF7) {
      return MidiError::kBadEvent;
    }
    std::uint32_t length = 0;
    if (const MidiError e = read_number(track, at, length); e != MidiError::kNone)
      return e;
    if (track.size() - at < length)
      return MidiError::kTruncated;

    if (status == 0xFF && meta_type == 0x2F) {
      end_tick = now;
      return MidiError::kNone;
    }
    if (status == 0xFF && meta_type == 0x51) {
      // A zero tempo would ask the output to play everything at once.
      if (length != 3)
        return MidiError::kBadEvent;
      const std::uint32_t tempo = read_be(track, at, 3);
      if (tempo == 0)
        return MidiError::kBadEvent;
      out.push_back({now, stream_event(kStreamTempo, tempo)});
    }
    at += length;
  }
  return MidiError::kMissingEndOfTrack;
}

void append_delayed(std::vector<StreamEvent>& out, std::uint64_t delta, std::uint32_t event) {
  constexpr std::uint64_t kLongest = std::numeric_limits<std::uint32_t>::max();
  while (delta > kLongest) {
    out.push_back({static_cast<std::uint32_t>(kLongest), 0, stream_event(kStreamNop, 0)});
    delta -= kLongest;
  }
  out.push_back({static_cast<std::uint32_t>(delta), 0, event});
}

MidiReadResult failure(MidiError error) {
  return {error, std::nullopt};
}

}  // namespace

MidiReadResult read_midi_file(std::span<const std::uint8_t> bytes) {
  constexpr std::size_t kChunkHeader = 8;
  if (bytes.size() < kChunkHeader || !has_tag(bytes, 0, "MThd")) {
    return failure(MidiError::kNotMidi);
  }
  const std::uint32_t header_length = read_be(bytes, 4, 4);
  if (header_length < 6)
    return failure(MidiError::kBadHeader);
  if (bytes.size() - kChunkHeader < header_length)
    return failure(MidiError::kTruncated);
  const std::uint32_t format = read_be(bytes, 8, 2);
  const std::uint32_t track_count = read_be(bytes, 10, 2);
  const std::uint32_t division = read_be(bytes, 12, 2);
  if (format > 1)
    return failure(MidiError::kUnsupportedFormat);
  if (track_count == 0 || (format == 0 && track_count != 1)) {
    return failure(MidiError::kBadHeader);
  }
  if ((division & 0x8000) != 0 || division == 0) {
    return failure(MidiError::kUnsupportedDivision);
  }

  std::vector<TimedEvent> timed;
  std::uint64_t song_end = 0;
  std::size_t at = kChunkHeader + header_length;
  for (std::uint32_t tracks_read = 0; tracks_read < track_count;) {
    if (bytes.size() - at < kChunkHeader)
      return failure(MidiError::kTruncated);
    const std::uint32_t length = read_be(bytes, at + 4, 4);
    const bool is_track = has_tag(bytes, at, "MTrk");
    at += kChunkHeader;
    if (bytes.size() - at < length)
      return failure(MidiError::kTruncated);
    if (is_track) {
      std::uint64_t track_end = 0;
      const MidiError e = read_track(bytes.subspan(at, length), timed, track_end);
      if (e != MidiError::kNone)
        return failure(e);
      song_end = std::max(song_end, track_end);
      ++tracks_read;
    }
    at += length;
  }

  // Stable, so events at the same tick keep the order of their tracks and within a track.
  std::stable_sort(timed.begin(), timed.end(),
                   [](const TimedEvent& a, const TimedEvent& b) { return a.tick < b.tick; });
  MidiSong song;
  song.ticks_per_quarter_note = static_cast<std::uint16_t>(division);
  song.events.reserve(timed.size() + 1);
  std::uint64_t previous = 0;
  for (const TimedEvent& e : timed) {
    append_delayed(song.events, e.tick - previous, e.event);
    previous = e.tick;
  }
  if (song_end > previous) {
    append_delayed(song.events, song_end - previous, stream_event(kStreamNop, 0));
  }
  return {MidiError::kNone, std::move(song)};
}

}  // namespace densilo::core
