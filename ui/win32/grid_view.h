// The table on screen: a control of our own that draws a Grid (fixed header
// rows, columns by their width in twips, the current cell and the selection)
// and turns the user's mouse and keys into Grid::UserSelect.
#pragma once
#include <windows.h>

#include "core/grid.h"
#include "ui/win32/window.h"

namespace win {

class GridAccessible;

class GridView : public Window {
 public:
  explicit GridView(Grid* grid) : grid_(grid), accessible_(0) { Reset(); }
  ~GridView();

  bool Create(HINSTANCE instance, HWND parent, int id, const RECT& rect, const Scale& scale);
  // The grid's contents or shape changed: repaint, and fit the scroll bars
  // before the next paint.
  void GridChanged();

  // For the accessible object: the table, a row's rectangle in client
  // pixels, the row under a client point (-1 for none), a row selected.
  const Grid& grid() const { return *grid_; }
  RECT RowRect(int32_t row) const;
  int32_t RowAt(int x, int y) const;
  void SelectRow(int32_t row);

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyed() override;

 private:
  struct Cell {
    int32_t row;
    int32_t col;
  };

  void Reset();
  int ColPixels(int32_t col) const;
  int ContentWidth() const;
  int FixedHeight() const;
  int32_t FirstScrollRow() const;
  int VisibleRows(int clientHeight) const;
  void FitScrollBars();
  void Paint(HDC dc, const RECT& client);
  void PaintCell(HDC dc, int32_t row, int32_t col, const RECT& cell);
  // Tells screen readers which row now has the focus and the selection.
  void AnnounceRow();
  // Cell under a client point, clamped to the data rows and shown columns;
  // false when the point is on no data cell.
  bool CellAt(int x, int y, Cell* cell) const;
  void Select(const Cell& anchor, const Cell& corner);
  void EnsureVisible(const Cell& cell);
  void OnKey(WPARAM key);
  void OnMouseDown(int x, int y);
  void OnMouseMove(int x, int y);
  void Scroll(int bar, int code);
  void ScrollRowsBy(int rows);
  int32_t StepCol(int32_t col, int step) const;

  Grid* grid_;
  Scale scale_;
  OwnedFont font_;
  int rowHeight_;
  int textHeight_;
  int32_t topRow_;  // first data row shown under the fixed rows
  int leftPx_;      // horizontal scroll position, pixels
  bool layoutDirty_;
  bool inLayout_;
  bool dragging_;
  Cell anchor_;
  Cell corner_;                 // last corner reported while dragging
  int wheelRest_;               // wheel movement not yet worth a row
  GridAccessible* accessible_;  // made at the first screen reader's request
};

}  // namespace win
