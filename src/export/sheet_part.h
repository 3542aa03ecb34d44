#pragma once
// The worksheet part of the .xlsx file with its number cells, written here rather than by
// libxlsxwriter: the writer is given the text cells only, and the numbers go into its part
// afterwards, in the writer's own layout, byte for byte.
#include "export/workbook_model.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tc {

// Room sheetNumberText needs.
inline constexpr std::size_t kSheetNumberTextMax = 32;

// Writes the number as the sheet part holds it, the text of printf's "%.16G" in the C locale:
// 16 significant digits without trailing zeros, "1E+21" and "1E-300" for the very large and
// small, "INF", "-INF", "NAN" for what is not a number. Returns the end of the text written into
// out, which has room for kSheetNumberTextMax characters.
char* sheetNumberText(double value, char* out);

// The sheet part with every cell of a sheet, made from the part as libxlsxwriter wrote it with
// the sheet's text cells only. The text cells stay as the writer wrote them (with their numbers
// in the shared strings), the number cells of the grid go in beside them as the writer writes
// numbers, and the dimension and the rows' spans take in every cell. The part comes in pieces of
// rows, for deflatePieces.
class SheetPartWithNumbers {
public:
    // cells must outlive this. Throws Error when the part is not laid out as the writer lays it
    // out, or does not hold the grid's text cells.
    SheetPartWithNumbers(std::string textOnlyPart, const CellGrid& cells);

    std::size_t pieceCount() const { return pieces_; }
    // Appends piece i to out; may be called from several threads at once.
    void piece(std::size_t i, std::string& out) const;

private:
    struct TextCell {
        std::int32_t row = 0, column = 0;
        std::size_t from = 0, length = 0; // its XML in part_
    };
    struct RowCell {
        std::int32_t column = 0;
        const TextCell* text = nullptr; // or a number
        double number = 0;
    };

    void parse(const CellGrid& cells);
    void rowCells(std::int32_t row, std::size_t& nextText, std::vector<RowCell>& out) const;
    // Appends the rows of the 16-row block from firstRow; cells is room to work in.
    void writeBlock(std::int32_t firstRow, std::vector<RowCell>& cells, std::string& out) const;

    std::string part_;
    std::size_t headEnd_ = 0, dimensionEnd_ = 0, dataStart_ = 0, dataEnd_ = 0, tailStart_ = 0;
    std::vector<TextCell> texts_; // in row order, then column order
    std::vector<const std::vector<CellGrid::Cell>*> columns_;
    std::vector<std::string> letters_; // of each column
    std::string dimension_;
    std::int32_t lastRow_ = 0; // of any cell; 0 when there is none
    std::size_t pieces_ = 1;
};

} // namespace tc
