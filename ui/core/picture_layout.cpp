#include "ui/core/picture_layout.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace densilo::core {
namespace {

struct Span {
  int start;
  int available;
};

// One direction of the placement: the picture's own size if it fits, else the whole client side.
Span available_span(int client, int picture) {
  if (picture <= client) {
    return {(client - picture) / 2, picture};
  }
  return {0, client};
}

}  // namespace

PictureRect place_picture(int client_width, int client_height, int picture_width,
                          int picture_height) {
  client_width = std::max(client_width, 0);
  client_height = std::max(client_height, 0);
  if (picture_width <= 0 || picture_height <= 0) {
    return {};
  }
  const Span across = available_span(client_width, picture_width);
  const Span down = available_span(client_height, picture_height);
  if (picture_width <= client_width && picture_height <= client_height) {
    return {across.start, down.start, picture_width, picture_height};
  }
  const double ratio = std::min(static_cast<double>(across.available) / picture_width,
                                static_cast<double>(down.available) / picture_height);
  const int width = static_cast<int>(picture_width * ratio);
  const int height = static_cast<int>(picture_height * ratio);
  return {across.start + (across.available - width) / 2, down.start + (down.available - height) / 2,
          width, height};
}

int scaled_side(int side, int scale_num) {
  // Computed wide: a side near the decoder's limit times 16 overflows int.
  const std::int64_t scaled =
      (static_cast<std::int64_t>(side) * scale_num + kDctScaleDenominator - 1) /
      kDctScaleDenominator;
  return static_cast<int>(std::min<std::int64_t>(scaled, std::numeric_limits<int>::max()));
}

int choose_dct_scale(int picture_width, int picture_height, int min_width, int min_height) {
  for (int scale_num = 1; scale_num < kDctScaleDenominator; ++scale_num) {
    if (scaled_side(picture_width, scale_num) >= min_width &&
        scaled_side(picture_height, scale_num) >= min_height) {
      return scale_num;
    }
  }
  return kDctScaleDenominator;
}

}  // namespace densilo::core
