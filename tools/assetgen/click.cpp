// The buttons' click: 58 ms of a soft tick. Two damped sines (a bright one that dies within
// a few milliseconds over a rounder, slower one) and a breath of filtered noise on the
// attack. It starts and ends on exact silence and carries no DC, so it never pops, and it
// peaks near -10 dBFS so that hovering over a button is not loud.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "assetgen.h"

namespace densilo::assetgen {
namespace {

constexpr std::uint32_t kRate = 22050;
constexpr std::uint32_t kChannels = 2;
constexpr std::uint32_t kFrames = 1287;  // 5,148 bytes of 16-bit stereo samples
constexpr double kPeak = 0.316;          // -10 dBFS

std::vector<double> shape() {
  constexpr double kPi = std::numbers::pi;
  constexpr std::size_t kAttack = 14;  // about 0.6 ms: quick, but not a step
  constexpr std::size_t kFade = 220;   // the last 10 ms bend the tail down to zero
  Noise noise(0xC11C4u);
  double filtered = 0.0;
  std::vector<double> x(kFrames);
  for (std::size_t n = 0; n < kFrames; ++n) {
    const double t = static_cast<double>(n) / kRate;
    // A one-pole low-pass takes the hiss out of the noise and leaves a soft "t".
    filtered += 0.35 * (noise.uniform() - filtered);
    double v = std::sin(2.0 * kPi * 2200.0 * t) * std::exp(-t / 0.004) +
               0.6 * std::sin(2.0 * kPi * 1150.0 * t) * std::exp(-t / 0.007) +
               1.2 * filtered * std::exp(-t / 0.0015);
    if (n < kAttack) {
      const double r = std::sin(0.5 * kPi * static_cast<double>(n) / kAttack);
      v *= r * r;
    }
    const std::size_t left = kFrames - 1 - n;
    if (left < kFade)
      v *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(left) / kFade);
    x[n] = v;
  }
  // Take out the DC with a bump that is zero at both ends, so the ends stay silent.
  std::vector<double> bump(kFrames);
  double sum = 0.0, bump_sum = 0.0;
  for (std::size_t n = 0; n < kFrames; ++n) {
    const double s = std::sin(kPi * static_cast<double>(n) / (kFrames - 1));
    bump[n] = s * s;
    sum += x[n];
    bump_sum += bump[n];
  }
  double peak = 0.0;
  for (std::size_t n = 0; n < kFrames; ++n) {
    x[n] -= sum / bump_sum * bump[n];
    peak = std::max(peak, std::abs(x[n]));
  }
  for (double& v : x)
    v *= kPeak / peak;
  return x;
}

}  // namespace

Bytes make_click() {
  const std::vector<double> x = shape();
  constexpr std::uint32_t kBlockAlign = kChannels * 2;
  constexpr std::uint32_t kDataBytes = kFrames * kBlockAlign;

  Bytes out;
  put_text(out, "RIFF");
  put_le32(out, 4 + (8 + 16) + (8 + kDataBytes));
  put_text(out, "WAVE");
  put_text(out, "fmt ");
  put_le32(out, 16);
  put_le16(out, 1);  // PCM
  put_le16(out, kChannels);
  put_le32(out, kRate);
  put_le32(out, kRate * kBlockAlign);
  put_le16(out, kBlockAlign);
  put_le16(out, 16);
  put_text(out, "data");
  put_le32(out, kDataBytes);
  for (double v : x) {
    const long s = std::clamp(std::lround(v * 32767.0), -32768L, 32767L);
    const auto bits =
        static_cast<std::uint32_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(s)));
    for (std::uint32_t c = 0; c < kChannels; ++c)
      put_le16(out, bits);
  }
  return out;
}

}  // namespace densilo::assetgen
