// The table behind both lists: rows of text cells with a current cell and a
// selection, addressed the way the callers expect (Row/Col, then Text).
// Operations that the grid refuses return false and change nothing.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

class GridListener {
 public:
  virtual void OnSelChange() = 0;   // the user moved the selection
  virtual void OnGridChanged() = 0; // contents or shape changed (for redraw)

 protected:
  ~GridListener() {}
};

class Grid {
 public:
  explicit Grid(int32_t cols);

  int32_t Cols() const { return cols_; }
  int32_t Rows() const { return static_cast<int32_t>(cells_.size()); }
  // A smaller count drops rows from the end, a larger one appends empty rows.
  // Refused below FixedRows.
  bool SetRows(int32_t rows);
  int32_t FixedRows() const { return fixedRows_; }
  bool SetFixedRows(int32_t fixed);  // refused above Rows

  int32_t Row() const { return row_; }
  int32_t Col() const { return col_; }
  // Moving the current cell collapses the selection onto it.
  bool SetRow(int32_t row);
  bool SetCol(int32_t col);
  int32_t RowSel() const { return rowSel_; }
  int32_t ColSel() const { return colSel_; }
  bool SetRowSel(int32_t row);
  bool SetColSel(int32_t col);

  // The current cell; empty when the grid has no rows.
  const std::string& Text() const;
  bool SetText(const std::string& text);

  // Inserts a row at `index` (0..Rows); the text is split at tabs into the
  // cells from column 0 on, pieces beyond the last column are dropped.
  bool AddItem(const std::string& text, int32_t index);
  // Inserts a row at `index` with its cells taken whole (tabs included); the
  // current cell and the selection keep their numbers.
  bool InsertRowCells(int32_t index, const std::vector<std::string>& cells);
  bool RemoveItem(int32_t index);
  void Clear();  // empties every cell, the row count stays

  int32_t ColWidth(int32_t col) const;  // twips
  bool SetColWidth(int32_t col, int32_t twips);

  // Reads a cell without moving the current cell; empty outside the grid.
  const std::string& TextMatrix(int32_t row, int32_t col) const;

  // Selection moved by the user (mouse or keyboard of the window's control):
  // sets Row/Col/RowSel/ColSel and raises OnSelChange.
  void UserSelect(int32_t row, int32_t col, int32_t rowSel, int32_t colSel);

  void SetListener(GridListener* listener) { listener_ = listener; }
  // While redraw is off the listener hears nothing; turning it back on tells
  // it once, and only if the cells, their layout or the selection differ
  // from when it went off, so a rebuild shows only its end state.
  void SetRedraw(bool on);
  bool Redraw() const { return redraw_; }

 private:
  void Changed();
  void ClampCurrent();

  int32_t cols_;
  int32_t fixedRows_;
  int32_t row_, col_, rowSel_, colSel_;
  std::vector<std::vector<std::string> > cells_;
  std::vector<int32_t> widths_;
  std::string empty_;
  GridListener* listener_;
  bool redraw_;
  // A digest of what a view draws: cells, layout, selection; and its value
  // when redraw went off.
  uint64_t Huella() const;
  bool tocado_;  // changed since redraw last came on
  uint64_t huellaAntes_;
};
