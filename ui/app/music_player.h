#pragma once
// The background tune: a MIDI stream that loops for as long as the window lives.

#include <windows.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace densilo::app {

// Sent to the window named at open when the last buffer of the tune has been played. The
// driver's callback runs on a thread of its own and may do almost nothing, so it only posts this
// and the looping happens on the window's thread.
inline constexpr UINT kMusicEndedMessage = WM_APP + 1;

// The device side of the player, so the looping logic can be checked without a MIDI device.
class MidiPort {
 public:
  virtual ~MidiPort() = default;
  // Opens the output with the tune's time division and prepares its stream events (packed
  // MIDIEVENT records). False when there is no output or it refuses the tune.
  virtual bool open(std::uint32_t time_division, std::span<const std::byte> events) = 0;
  // Queues the whole tune from its beginning and lets the stream run.
  virtual bool play() = 0;
  // All notes and all sound off on every channel, so nothing hangs across a loop or the stop.
  virtual void silence() = 0;
  // Stops the stream, waits at most `wait` for the output to hand the buffers back, releases all.
  virtual void close(std::chrono::milliseconds wait) = 0;
};

// The stream output of the platform's MIDI mapper.
class StreamMidiPort final : public MidiPort {
 public:
  explicit StreamMidiPort(HWND notify);
  ~StreamMidiPort() override;
  StreamMidiPort(const StreamMidiPort&) = delete;
  StreamMidiPort& operator=(const StreamMidiPort&) = delete;

  bool open(std::uint32_t time_division, std::span<const std::byte> events) override;
  bool play() override;
  void silence() override;
  void close(std::chrono::milliseconds wait) override;

 private:
  struct Shared;  // what the driver's callback may touch
  std::unique_ptr<Shared> shared_;
  HMIDISTRM stream_ = nullptr;
  std::vector<std::byte> events_;
  std::vector<MIDIHDR> headers_;
};

// Plays the tune endlessly: from its beginning again each time it ends, with every note
// silenced at each loop and at the stop. Without an output it stays silent and harmless.
class MusicPlayer {
 public:
  explicit MusicPlayer(std::unique_ptr<MidiPort> port) : port_(std::move(port)) {}
  ~MusicPlayer() { stop(); }
  MusicPlayer(const MusicPlayer&) = delete;
  MusicPlayer& operator=(const MusicPlayer&) = delete;

  // True when the tune is playing, false when it stays silent.
  bool start(std::uint32_t time_division, std::span<const std::byte> events);
  // The window's answer to kMusicEndedMessage.
  void on_tune_ended();
  void stop();
  bool playing() const { return playing_; }

  static constexpr std::chrono::milliseconds kStopWait{2000};

 private:
  std::unique_ptr<MidiPort> port_;
  bool playing_ = false;
};

}  // namespace densilo::app
