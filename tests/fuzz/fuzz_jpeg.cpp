// Feeds arbitrary bytes to the JPEG decoder at a few requested sizes and checks what comes
// back, not just that nothing crashed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "ui/core/jpeg_decoder.h"
#include "ui/core/picture_layout.h"

namespace {

using namespace densilo::core;

void check(bool ok) {
  if (!ok)
    std::abort();
}

void decode_and_check(std::span<const std::uint8_t> bytes, const JpegSize* header, int min_width,
                      int min_height) {
  const auto image = decode_jpeg(bytes, min_width, min_height);
  if (!image)
    return;
  // A picture that decodes has a readable header, and both agree on its size.
  check(header != nullptr);
  check(image->source_width == header->width && image->source_height == header->height);
  check(image->source_width <= kMaxJpegSide && image->source_height <= kMaxJpegSide);
  // Decoded at exactly the scale chosen for the request.
  const int scale =
      choose_dct_scale(image->source_width, image->source_height, min_width, min_height);
  check(image->width == scaled_side(image->source_width, scale));
  check(image->height == scaled_side(image->source_height, scale));
  check(image->width >= 1 && image->height >= 1);
  check(image->pixels.size() ==
        static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height) * 4);
  for (std::size_t i = 3; i < image->pixels.size(); i += 4)
    check(image->pixels[i] == 255);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto header = read_jpeg_size(bytes);
  const JpegSize* h = header ? &*header : nullptr;
  if (header)
    check(header->width >= 1 && header->height >= 1);
  // The smallest scale always, and one other picked by the input's length so that every scale,
  // full size included, gets its turn.
  decode_and_check(bytes, h, 1, 1);
  if (header) {
    const int eighths = static_cast<int>(size % 8) + 1;
    decode_and_check(bytes, h, header->width * eighths / 8, header->height * eighths / 8);
  }
  return 0;
}
