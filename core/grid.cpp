#include "core/grid.h"

#include <utility>

#include "core/strutil.h"

Grid::Grid(int32_t cols)
    : cols_(cols > 0 ? cols : 1),
      fixedRows_(0),
      row_(0),
      col_(0),
      rowSel_(0),
      colSel_(0),
      widths_(cols_, -1),
      listener_(0),
      redraw_(true),
      tocado_(true),
      huellaAntes_(0) {}

void Grid::Changed() {
  tocado_ = true;
  if (listener_ && redraw_) listener_->OnGridChanged();
}

// The length goes in before each cell's text, so that no two tables of
// different cells read the same; a 64-bit digest misses a change with odds
// of one in 2^64.
uint64_t Grid::Huella() const {
  uint64_t h = kHashStart;
  for (size_t r = 0; r < cells_.size(); ++r)
    for (size_t c = 0; c < cells_[r].size(); ++c) {
      const size_t n = cells_[r][c].size();
      h = HashBytes(HashBytes(h, &n, sizeof n), cells_[r][c].data(), n);
    }
  const int32_t rest[] = {static_cast<int32_t>(cells_.size()), fixedRows_, row_, col_, rowSel_,
                          colSel_};
  h = HashBytes(h, rest, sizeof rest);
  return HashBytes(h, widths_.data(), widths_.size() * sizeof widths_[0]);
}

void Grid::SetRedraw(bool on) {
  if (on == redraw_) return;
  redraw_ = on;
  // Untouched since redraw last came on, the table is the one digested then.
  if (!on) {
    if (tocado_) huellaAntes_ = Huella();
    return;
  }
  const uint64_t huella = Huella();
  const bool distinta = huella != huellaAntes_;
  huellaAntes_ = huella;
  tocado_ = false;
  if (distinta) Changed();
}

// Keeps the current cell and the selection inside the grid after it shrank.
void Grid::ClampCurrent() {
  int32_t last = Rows() > 0 ? Rows() - 1 : 0;
  if (row_ > last) row_ = last;
  if (rowSel_ > last) rowSel_ = last;
}

bool Grid::SetRows(int32_t rows) {
  if (rows < 0 || rows < fixedRows_) return false;
  cells_.resize(rows, std::vector<std::string>(cols_));
  ClampCurrent();
  Changed();
  return true;
}

bool Grid::SetFixedRows(int32_t fixed) {
  if (fixed < 0 || fixed > Rows()) return false;
  fixedRows_ = fixed;
  Changed();
  return true;
}

bool Grid::SetRow(int32_t row) {
  if (row < 0 || row >= Rows()) return false;
  row_ = rowSel_ = row;
  colSel_ = col_;
  Changed();
  return true;
}

bool Grid::SetCol(int32_t col) {
  if (col < 0 || col >= cols_) return false;
  col_ = colSel_ = col;
  rowSel_ = row_;
  Changed();
  return true;
}

bool Grid::SetRowSel(int32_t row) {
  if (row < 0 || row >= Rows()) return false;
  rowSel_ = row;
  Changed();
  return true;
}

bool Grid::SetColSel(int32_t col) {
  if (col < 0 || col >= cols_) return false;
  colSel_ = col;
  Changed();
  return true;
}

const std::string& Grid::Text() const { return TextMatrix(row_, col_); }

bool Grid::SetText(const std::string& text) {
  if (row_ >= Rows()) return false;
  cells_[row_][col_] = text;
  Changed();
  return true;
}

bool Grid::AddItem(const std::string& text, int32_t index) {
  std::vector<std::string> cells;
  std::string::size_type start = 0;
  for (;;) {
    std::string::size_type tab = text.find('\t', start);
    cells.push_back(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return InsertRowCells(index, cells);
}

bool Grid::InsertRowCells(int32_t index, const std::vector<std::string>& cells) {
  if (index < 0 || index > Rows()) return false;
  std::vector<std::string> row(cols_);
  for (size_t i = 0; i < cells.size() && i < row.size(); ++i) row[i] = cells[i];
  cells_.insert(cells_.begin() + index, std::move(row));
  Changed();
  return true;
}

bool Grid::RemoveItem(int32_t index) {
  if (index < 0 || index >= Rows() || Rows() - 1 < fixedRows_) return false;
  cells_.erase(cells_.begin() + index);
  ClampCurrent();
  Changed();
  return true;
}

void Grid::Clear() {
  for (size_t r = 0; r < cells_.size(); ++r)
    for (size_t c = 0; c < cells_[r].size(); ++c) cells_[r][c].clear();
  Changed();
}

int32_t Grid::ColWidth(int32_t col) const {
  if (col < 0 || col >= cols_) return 0;
  return widths_[col];
}

bool Grid::SetColWidth(int32_t col, int32_t twips) {
  if (col < 0 || col >= cols_ || twips < -1) return false;
  widths_[col] = twips;
  Changed();
  return true;
}

const std::string& Grid::TextMatrix(int32_t row, int32_t col) const {
  if (row < 0 || row >= Rows() || col < 0 || col >= cols_) return empty_;
  return cells_[row][col];
}

void Grid::UserSelect(int32_t row, int32_t col, int32_t rowSel, int32_t colSel) {
  if (Rows() == 0) return;
  int32_t last = Rows() - 1;
  row_ = row < 0 ? 0 : (row > last ? last : row);
  rowSel_ = rowSel < 0 ? 0 : (rowSel > last ? last : rowSel);
  col_ = col < 0 ? 0 : (col >= cols_ ? cols_ - 1 : col);
  colSel_ = colSel < 0 ? 0 : (colSel >= cols_ ? cols_ - 1 : colSel);
  Changed();
  if (listener_) listener_->OnSelChange();
}
