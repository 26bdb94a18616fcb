#pragma once

namespace densilo::core {

struct PictureRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const PictureRect&, const PictureRect&) = default;
};

// Where the background picture of pw x ph pixels goes in a client area of cw x ch: centred,
// shrunk with its aspect ratio kept until it fits, never enlarged. Halvings and the shrunk size
// truncate. A picture without pixels, or a client area without room, gives an empty rectangle.
PictureRect place_picture(int client_width, int client_height, int picture_width,
                          int picture_height);

// The decoder can shrink while it decodes, by scale_num / 8 for scale_num 1..16. This gives the
// smallest scale_num whose output, (side * scale_num + 7) / 8 on each side, is at least
// min_width x min_height; 8 (full size) when even that is not enough, since more would only
// enlarge the picture for nothing.
inline constexpr int kDctScaleDenominator = 8;
int choose_dct_scale(int picture_width, int picture_height, int min_width, int min_height);

// The size the decoder gives for one side of the picture at scale_num / 8.
int scaled_side(int side, int scale_num);

}  // namespace densilo::core
