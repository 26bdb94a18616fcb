#include "ui/core/jpeg_decoder.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <limits>

#include <jpeglib.h>

#include "ui/core/picture_layout.h"

namespace densilo::core {
namespace {

// libjpeg reports errors through a callback that must not return. It jumps back to the
// setjmp in whichever step is running; those steps hold only plain data, so the jump skips
// no destructor. Warnings jump too: they mean damaged data that libjpeg would patch over.
struct ErrorManager {
  jpeg_error_mgr base;  // first, so libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf resume;
};

[[noreturn]] void jump_back(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->resume, 1);
}

void on_message(j_common_ptr info, int level) {
  if (level < 0) {
    jump_back(info);
  }
}

// The default prints to stderr, which a windowed program does not have.
void discard_output(j_common_ptr) {}

// Bounds what libjpeg itself allocates (whole-image coefficient buffers for progressive files).
constexpr long kLibraryMemoryLimit = 512L * 1024 * 1024;

struct Decoder {
  jpeg_decompress_struct info;
  ErrorManager errors;

  Decoder() : info{}, errors{} {
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jump_back;
    errors.base.emit_message = on_message;
    errors.base.output_message = discard_output;
  }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
  // Safe in every state: after a failure anywhere, and even if creation itself failed.
  ~Decoder() { jpeg_destroy_decompress(&info); }
};

bool size_is_acceptable(JDIMENSION width, JDIMENSION height) {
  return width > 0 && height > 0 && width <= kMaxJpegSide && height <= kMaxJpegSide &&
         static_cast<std::int64_t>(width) * height <= kMaxJpegPixels;
}

// Reads the header and, if asked, sets up BGRA output at the scale that min_width x min_height
// needs. No object with a destructor may live in this frame, nor in read_pixels below.
bool read_header(Decoder& d, const unsigned char* data, unsigned long size, int min_width,
                 int min_height, bool set_up_output) {
  if (setjmp(d.errors.resume) != 0) {
    return false;
  }
  jpeg_create_decompress(&d.info);
  d.info.mem->max_memory_to_use = kLibraryMemoryLimit;
  jpeg_mem_src(&d.info, data, size);
  if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) {
    return false;
  }
  if (!size_is_acceptable(d.info.image_width, d.info.image_height)) {
    return false;
  }
  if (!set_up_output) {
    return true;
  }
  switch (d.info.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
      break;
    default:
      return false;
  }
  d.info.out_color_space = JCS_EXT_BGRA;
  d.info.scale_num = static_cast<unsigned int>(
      choose_dct_scale(static_cast<int>(d.info.image_width), static_cast<int>(d.info.image_height),
                       min_width, min_height));
  d.info.scale_denom = kDctScaleDenominator;
  jpeg_calc_output_dimensions(&d.info);
  return d.info.output_components == 4;
}

// Decodes into rows of `stride` bytes at `out`, which holds output_height of them.
bool read_pixels(Decoder& d, unsigned char* out, std::size_t stride) {
  if (setjmp(d.errors.resume) != 0) {
    return false;
  }
  const JDIMENSION expected_width = d.info.output_width;
  const JDIMENSION expected_height = d.info.output_height;
  jpeg_start_decompress(&d.info);
  if (d.info.output_width != expected_width || d.info.output_height != expected_height) {
    return false;
  }
  while (d.info.output_scanline < d.info.output_height) {
    JSAMPROW row = out + static_cast<std::size_t>(d.info.output_scanline) * stride;
    if (jpeg_read_scanlines(&d.info, &row, 1) != 1) {
      return false;
    }
  }
  jpeg_finish_decompress(&d.info);
  return true;
}

bool fits_the_library(std::span<const std::uint8_t> jpeg) {
  // jpeg_mem_src takes an unsigned long, 32 bits on Windows.
  return !jpeg.empty() && jpeg.size() <= std::numeric_limits<unsigned long>::max();
}

}  // namespace

std::optional<JpegSize> read_jpeg_size(std::span<const std::uint8_t> jpeg) {
  if (!fits_the_library(jpeg)) {
    return std::nullopt;
  }
  Decoder d;
  if (!read_header(d, jpeg.data(), static_cast<unsigned long>(jpeg.size()), 0, 0, false)) {
    return std::nullopt;
  }
  return JpegSize{static_cast<int>(d.info.image_width), static_cast<int>(d.info.image_height)};
}

std::optional<BgraImage> decode_jpeg(std::span<const std::uint8_t> jpeg) {
  return decode_jpeg(jpeg, std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
}

std::optional<BgraImage> decode_jpeg(std::span<const std::uint8_t> jpeg, int min_width,
                                     int min_height) {
  if (!fits_the_library(jpeg)) {
    return std::nullopt;
  }
  Decoder d;
  if (!read_header(d, jpeg.data(), static_cast<unsigned long>(jpeg.size()), min_width, min_height,
                   true)) {
    return std::nullopt;
  }
  BgraImage image;
  image.width = static_cast<int>(d.info.output_width);
  image.height = static_cast<int>(d.info.output_height);
  image.source_width = static_cast<int>(d.info.image_width);
  image.source_height = static_cast<int>(d.info.image_height);
  const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
  // Allocated here, outside the steps that may jump, so the jump never skips its destructor.
  image.pixels.resize(stride * static_cast<std::size_t>(image.height));
  if (!read_pixels(d, image.pixels.data(), stride)) {
    return std::nullopt;
  }
  return image;
}

}  // namespace densilo::core
