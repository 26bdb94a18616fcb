// The application's pieces that need no window of another process: the looping of the
// background tune (through a recording port, since the bench has no MIDI device), the real
// stream port without a device, and the floating-point reset.
#include <gtest/gtest.h>

#include <xmmintrin.h>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "ui/app/floating_point.h"
#include "ui/app/music_player.h"

namespace densilo::app {
namespace {

class RecordingPort final : public MidiPort {
 public:
  explicit RecordingPort(std::vector<std::string>& log, bool has_device = true)
      : log_(log), has_device_(has_device) {}
  bool open(std::uint32_t time_division, std::span<const std::byte> events) override {
    log_.push_back("open " + std::to_string(time_division) + " " + std::to_string(events.size()));
    return has_device_;
  }
  bool play() override {
    log_.push_back("play");
    return true;
  }
  void silence() override { log_.push_back("silence"); }
  void close(std::chrono::milliseconds wait) override {
    log_.push_back("close " + std::to_string(wait.count()));
  }

 private:
  std::vector<std::string>& log_;
  bool has_device_;
};

const std::vector<std::byte> kTwoEvents(24, std::byte{0});

using Log = std::vector<std::string>;

TEST(MusicPlayer, PlaysFromTheBeginningAgainAfterSilencingAtEveryEnd) {
  Log log;
  MusicPlayer player(std::make_unique<RecordingPort>(log));
  ASSERT_TRUE(player.start(480, kTwoEvents));
  player.on_tune_ended();
  player.on_tune_ended();
  EXPECT_EQ(log, (Log{"open 480 24", "play", "silence", "play", "silence", "play"}));
  EXPECT_TRUE(player.playing());
}

TEST(MusicPlayer, StopSilencesAndWaitsAtMostTwoSecondsThenIgnoresLateEnds) {
  Log log;
  MusicPlayer player(std::make_unique<RecordingPort>(log));
  player.start(480, kTwoEvents);
  player.stop();
  // The end of the last loop may already be queued for the window when the music stops.
  player.on_tune_ended();
  player.stop();
  EXPECT_EQ(log, (Log{"open 480 24", "play", "silence", "close 2000"}));
  EXPECT_FALSE(player.playing());
}

TEST(MusicPlayer, WithoutADeviceStaysSilentAndTouchesNothingMore) {
  Log log;
  {
    MusicPlayer player(std::make_unique<RecordingPort>(log, false));
    EXPECT_FALSE(player.start(480, kTwoEvents));
    player.on_tune_ended();
  }
  EXPECT_EQ(log, (Log{"open 480 24"}));
}

TEST(MusicPlayer, DestroyingThePlayerStopsTheMusic) {
  Log log;
  {
    MusicPlayer player(std::make_unique<RecordingPort>(log));
    player.start(480, kTwoEvents);
  }
  EXPECT_EQ(log.back(), "close 2000");
}

TEST(StreamMidiPort, RefusesEventsThatAreNotWholeRecordsAndFailsQuietlyWithoutDevice) {
  StreamMidiPort port(nullptr);
  EXPECT_FALSE(port.open(480, std::span(kTwoEvents).first(13)));
  EXPECT_FALSE(port.play());
  port.silence();
  port.close(std::chrono::milliseconds(0));
  if (midiOutGetNumDevs() == 0) {
    StreamMidiPort no_device(nullptr);
    EXPECT_FALSE(no_device.open(480, kTwoEvents));
  }
}

std::uint16_t x87_control_word() {
  std::uint16_t word = 0;
  asm volatile("fnstcw %0" : "=m"(word));
  return word;
}

TEST(FloatingPoint, ResetUndoesEveryChangeToRoundingMasksAndPrecision) {
  // x87: upward rounding, 24-bit precision, invalid operation unmasked. SSE: upward rounding,
  // invalid operation unmasked, flush-to-zero and denormals-are-zero on.
  const std::uint16_t wrong = 0x0800 | 0x003E;
  asm volatile("fnclex\n\tfldcw %0" : : "m"(wrong));
  _mm_setcsr(0x4000 | 0x1F00 | 0x8040);
  reset_floating_point();
  EXPECT_EQ(x87_control_word() & 0x1F3F, 0x033F);  // 64-bit, nearest, all masked
  EXPECT_EQ(_mm_getcsr() & 0xFFC0, 0x1F80);        // nearest, all masked, no FTZ/DAZ

  volatile double zero = 0.0;
  volatile double tiny = std::numeric_limits<double>::min();
  const double nan = zero / zero;
  std::uint64_t bits = 0;
  std::memcpy(&bits, &nan, sizeof bits);
  EXPECT_EQ(bits, 0xFFF8000000000000u);  // the default NaN, no trap
  EXPECT_GT(tiny / 4.0, 0.0);            // a subnormal, not flushed
  EXPECT_TRUE(std::isinf(1.0 / zero));
}

}  // namespace
}  // namespace densilo::app
