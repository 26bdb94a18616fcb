// Feeds arbitrary bytes to the MIDI file reader and checks that whatever it accepts is a stream
// the output can play: only the three event types, well-formed short messages, nonzero tempos.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "ui/core/midi_file.h"

namespace {

using namespace densilo::core;

void check(bool ok) {
  if (!ok)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const MidiReadResult result = read_midi_file(std::span<const std::uint8_t>(data, size));
  check(result.song.has_value() == (result.error == MidiError::kNone));
  if (!result.song)
    return 0;
  const MidiSong& song = *result.song;
  check(song.ticks_per_quarter_note >= 1 && song.ticks_per_quarter_note < 0x8000);
  // Every kept event and every no-op costs the file at least one byte.
  check(song.events.size() <= size);
  for (const StreamEvent& e : song.events) {
    check(e.stream_id == 0);
    const std::uint32_t parameter = e.event & 0xFFFFFF;
    switch (stream_event_type(e)) {
      case kStreamShortMessage: {
        const std::uint32_t status = parameter & 0xFF;
        check(status >= 0x80 && status <= 0xEF);
        check(((parameter >> 8) & 0x80) == 0 && ((parameter >> 16) & 0x80) == 0);
        // One-data-byte messages leave the second byte zero.
        if ((status & 0xE0) == 0xC0)
          check((parameter >> 16) == 0);
        break;
      }
      case kStreamTempo:
        check(parameter != 0);
        break;
      case kStreamNop:
        check(parameter == 0);
        break;
      default:
        check(false);
    }
  }
  return 0;
}
