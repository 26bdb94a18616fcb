#pragma once

#include <string_view>

// The names the window's designer gave the controls, kind and ordinal. The window registers
// its controls under these same constants, so the calculation and the window cannot drift
// apart over a typo.
namespace densilo::calc::names {

inline constexpr std::string_view kEditBox1 = "编辑框1";          // diagonal, inches
inline constexpr std::string_view kEditBox2 = "编辑框2";          // width, pixels
inline constexpr std::string_view kEditBox3 = "编辑框3";          // height, pixels
inline constexpr std::string_view kEditBox4 = "编辑框4";          // the density, written
inline constexpr std::string_view kTransLabel4 = "透明标签4";     // the result's label
inline constexpr std::string_view kHyperLinker1 = "超级链接框1";  // the author link

}  // namespace densilo::calc::names
