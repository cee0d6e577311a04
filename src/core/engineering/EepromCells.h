#pragma once

#include "model/Radioinfo.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kav {

// How the EEPROM editor shows and reads its data cells.
enum class CellBase { Bin = 0, Dec = 1, Hex = 2 };
enum class CellSize { Byte = 0, Word = 1 };

// The value as the cell shows it: 8 or 16 binary digits, the decimal number, or 2 or 4
// uppercase hexadecimal digits.
std::string cellText(int value, CellBase base, CellSize size);

// The value a cell's text stands for, or nothing when the text is not a number of the base
// or does not fit the cell (an empty cell is 0). Surrounding blanks are ignored.
std::optional<int> parseCell(std::string_view text, CellBase base, CellSize size);

// Why parseCell refused the text, for the person who typed it.
std::string cellError(std::string_view text, CellBase base, CellSize size);

// Grid geometry: 1024 rows of one word each after the heading row, data from column 3.
inline constexpr int kCellRows = 1024;
inline constexpr int kFirstDataColumn = 3;
// The byte address of a data cell, or -1 for a heading, label or missing column.
int cellAddress(int row, int column, CellSize size);

// The name of the variable at every byte address of the model's map ("" where none lives).
// A later variable at the same address wins, except that an address of 0 for any variable
// but "Product ID" only marks the variable as absent from the model.
using AddressLabels = std::array<std::string, kVariableMapSize>;
AddressLabels addressLabels(AddressMap map);

} // namespace kav
