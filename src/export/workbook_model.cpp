#include "export/workbook_model.h"

namespace tc {

CellGrid::Cell& CellGrid::slot(std::int32_t row, std::int32_t column) {
    if (columns_.size() < static_cast<size_t>(column)) columns_.resize(static_cast<size_t>(column));
    auto& col = columns_[static_cast<size_t>(column - 1)];
    if (col.size() < static_cast<size_t>(row)) col.resize(static_cast<size_t>(row));
    return col[static_cast<size_t>(row - 1)];
}

void CellGrid::setNumber(std::int32_t row, std::int32_t column, double value) {
    Cell& c = slot(row, column);
    c.kind = Kind::Number;
    c.number = value;
}

void CellGrid::setText(std::int32_t row, std::int32_t column, std::string text) {
    Cell& c = slot(row, column);
    c.kind = Kind::Text;
    c.text = static_cast<std::uint32_t>(texts_.size());
    texts_.push_back(std::move(text));
}

void CellGrid::clear(std::int32_t row, std::int32_t column) {
    if (static_cast<size_t>(column) > columns_.size()) return;
    auto& col = columns_[static_cast<size_t>(column - 1)];
    if (static_cast<size_t>(row) <= col.size()) col[static_cast<size_t>(row - 1)] = Cell{};
}

CellGrid::Cell CellGrid::at(std::int32_t row, std::int32_t column) const {
    if (column < 1 || static_cast<size_t>(column) > columns_.size()) return {};
    const auto& col = columns_[static_cast<size_t>(column - 1)];
    if (row < 1 || static_cast<size_t>(row) > col.size()) return {};
    return col[static_cast<size_t>(row - 1)];
}

} // namespace tc
