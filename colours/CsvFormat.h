#pragma once

#include <cstddef>
#include <string_view>

namespace pix {

// The form of every CSV file the program writes, for every writer of one:
// a table ends each cell and each row, and the colour key puts the same
// cell end between its fields.
inline constexpr char kCellEnd = ';';
inline constexpr std::string_view kRowEnd = "\r\n";
// The widest cell of a table: a colour number of up to eight digits (a
// picture has at most 2^24 colours) and its cell end.
inline constexpr std::size_t kWidestCell = 9;

} // namespace pix
