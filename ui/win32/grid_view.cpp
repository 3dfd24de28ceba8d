#include "ui/win32/grid_view.h"

#include "ui/accesible.h"
#include "ui/win32/grid_access.h"

namespace win {

namespace {

const char kClassName[] = "CentinelaGrid";
// Width of a column that was never given one.
const int kDefaultColTwips = 975;
const int kGridFontCentipoints = 675;
const int kWheelRows = 3;

int32_t Clamp(int32_t value, int32_t low, int32_t high) {
  return value < low ? low : (value > high ? high : value);
}

bool Between(int32_t value, int32_t a, int32_t b) {
  return a <= b ? (value >= a && value <= b) : (value >= b && value <= a);
}

}  // namespace

GridView::~GridView() { OnDestroyed(); }

void GridView::OnDestroyed() {
  Reset();
  // Readers may still hold the object: it answers nothing from now on.
  if (accessible_) ReleaseAccessible(accessible_);
  accessible_ = 0;
}

RECT GridView::RowRect(int32_t row) const {
  const int top = FixedHeight() + (row - FirstScrollRow()) * rowHeight_;
  RECT rect = {-leftPx_, top, ContentWidth() - leftPx_, top + rowHeight_};
  return rect;
}

int32_t GridView::RowAt(int x, int y) const {
  Cell cell;
  return CellAt(x, y, &cell) ? cell.row : -1;
}

void GridView::SelectRow(int32_t row) {
  Cell cell = {row, grid_->Col()};
  Select(cell, cell);
  EnsureVisible(cell);
}

void GridView::AnnounceRow() {
  const LONG child = grid_->Row() - grid_->FixedRows() + 1;
  if (GetFocus() == hwnd() && child > 0) NotifyEvent(hwnd(), kEventFocus, child);
  // A range is announced on the list, whose rows then tell their state.
  const bool una = grid_->RowSel() == grid_->Row();
  if (child > 0)
    NotifyEvent(hwnd(), una ? kEventSelection : kEventSelectionWithin, una ? child : CHILDID_SELF);
}

void GridView::Reset() {
  rowHeight_ = 0;
  textHeight_ = 0;
  topRow_ = 0;
  leftPx_ = 0;
  layoutDirty_ = true;
  inLayout_ = false;
  dragging_ = false;
  wheelRest_ = 0;
  anchor_.row = anchor_.col = corner_.row = corner_.col = 0;
}

bool GridView::Create(HINSTANCE instance, HWND parent, int id, const RECT& rect,
                      const Scale& scale) {
  scale_ = scale;
  font_.Reset(CreateUiFont(scale_, "Tahoma", kGridFontCentipoints, FW_NORMAL));
  {
    ScreenDc screen;
    Selected font(screen.Get(), font_.Get());
    TEXTMETRICA metrics;
    GetTextMetricsA(screen.Get(), &metrics);
    textHeight_ = metrics.tmHeight;
  }
  rowHeight_ = textHeight_ + scale_.Y(60);  // text, padding and the grid line: 4 px at 96 dpi
  RegisterClassOnce(instance, kClassName, 0, 0, 0);
  return Window::Create(instance, kClassName, "",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL,
                        WS_EX_CLIENTEDGE, rect, parent, id);
}

void GridView::GridChanged() {
  layoutDirty_ = true;
  if (hwnd()) InvalidateRect(hwnd(), 0, FALSE);
}

int GridView::ColPixels(int32_t col) const {
  int32_t twips = grid_->ColWidth(col);
  return scale_.X(twips < 0 ? kDefaultColTwips : twips);
}

int GridView::ContentWidth() const {
  int width = 0;
  for (int32_t col = 0; col < grid_->Cols(); ++col) width += ColPixels(col);
  return width;
}

int GridView::FixedHeight() const { return grid_->FixedRows() * rowHeight_; }

int32_t GridView::FirstScrollRow() const {
  int32_t fixed = grid_->FixedRows();
  int32_t last = grid_->Rows() - 1;
  return Clamp(topRow_, fixed, last > fixed ? last : fixed);
}

int GridView::VisibleRows(int clientHeight) const {
  int rows = rowHeight_ > 0 ? (clientHeight - FixedHeight()) / rowHeight_ : 0;
  return rows > 1 ? rows : 1;
}

void GridView::FitScrollBars() {
  if (inLayout_ || !hwnd()) return;
  inLayout_ = true;
  layoutDirty_ = false;
  // Showing one bar narrows the room for the other: settle in a few passes.
  for (int pass = 0; pass < 3; ++pass) {
    RECT client;
    GetClientRect(hwnd(), &client);
    int32_t fixed = grid_->FixedRows();
    int32_t dataRows = grid_->Rows() - fixed;
    if (dataRows < 0) dataRows = 0;
    int visible = VisibleRows(client.bottom);
    topRow_ = Clamp(topRow_, fixed, fixed + (dataRows > visible ? dataRows - visible : 0));
    int width = ContentWidth();
    leftPx_ = Clamp(leftPx_, 0, width > client.right ? width - client.right : 0);

    SCROLLINFO info;
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = dataRows > 0 ? dataRows - 1 : 0;
    info.nPage = static_cast<UINT>(visible);
    info.nPos = topRow_ - fixed;
    SetScrollInfo(hwnd(), SB_VERT, &info, TRUE);
    info.nMax = width > 0 ? width - 1 : 0;
    info.nPage = static_cast<UINT>(client.right > 1 ? client.right : 1);
    info.nPos = leftPx_;
    SetScrollInfo(hwnd(), SB_HORZ, &info, TRUE);

    RECT after;
    GetClientRect(hwnd(), &after);
    if (after.right == client.right && after.bottom == client.bottom) break;
  }
  inLayout_ = false;
}

void GridView::PaintCell(HDC dc, int32_t row, int32_t col, const RECT& cell) {
  const bool fixed = row < grid_->FixedRows();
  const bool selected = !fixed && Between(row, grid_->Row(), grid_->RowSel()) &&
                        Between(col, grid_->Col(), grid_->ColSel());
  RECT inner = cell;
  inner.right -= 1;
  inner.bottom -= 1;
  // The grid lines are what the cell's text leaves of the fill.
  FillSolid(dc, cell, fixed ? GetSysColor(COLOR_BTNSHADOW) : Colours(col::kLineas).fondo);
  SetDcColours(dc, Colours(fixed ? col::kCabecera : selected ? col::kSeleccion : col::kCampo));
  const std::string text = acc::TextoVisible(grid_->TextMatrix(row, col));
  const UINT n = static_cast<UINT>(text.size());
  ExtTextOutA(dc, inner.left + scale_.X(30),
              inner.top + (inner.bottom - inner.top - textHeight_) / 2, ETO_OPAQUE | ETO_CLIPPED,
              &inner, text.data(), n, 0);
  if (fixed) DrawEdge(dc, &inner, BDR_RAISEDINNER, BF_TOPLEFT);
}

void GridView::Paint(HDC dc, const RECT& client) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_APPWORKSPACE));
  if (rowHeight_ <= 0) return;
  Selected font(dc, font_.Get());
  const int32_t rows = grid_->Rows();
  const int32_t fixed = grid_->FixedRows();
  RECT focus = {0, 0, 0, 0};
  // Fixed rows stay on top; the data rows scroll beneath them.
  int y = FixedHeight();
  for (int pass = 0; pass < 2; ++pass) {
    int32_t row = pass == 0 ? FirstScrollRow() : 0;
    int32_t end = pass == 0 ? rows : (fixed < rows ? fixed : rows);
    if (pass == 1) y = 0;
    for (; row < end && y < client.bottom; ++row, y += rowHeight_) {
      int x = -leftPx_;
      for (int32_t col = 0; col < grid_->Cols() && x < client.right; ++col) {
        int width = ColPixels(col);
        if (width <= 0) continue;
        RECT cell = {x, y, x + width, y + rowHeight_};
        if (cell.right > 0) PaintCell(dc, row, col, cell);
        if (row == grid_->Row() && col == grid_->Col() && row >= fixed) {
          focus = cell;
          focus.right -= 1;
          focus.bottom -= 1;
        }
        x += width;
      }
    }
  }
  if (GetFocus() == hwnd() && focus.right > focus.left) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    DrawFocusRect(dc, &focus);
  }
}

bool GridView::CellAt(int x, int y, Cell* cell) const {
  const int32_t fixed = grid_->FixedRows();
  bool inside = y >= FixedHeight() && x >= 0;
  int32_t row = FirstScrollRow() + (y - FixedHeight()) / rowHeight_;
  if (y < FixedHeight()) row = FirstScrollRow() - 1;
  if (row >= grid_->Rows()) inside = false;
  cell->row = Clamp(row, fixed, grid_->Rows() - 1);

  int right = -leftPx_;
  int32_t col = -1;
  for (int32_t c = 0; c < grid_->Cols(); ++c) {
    int width = ColPixels(c);
    if (width <= 0) continue;
    col = c;
    right += width;
    if (x < right) break;
  }
  if (x >= right) inside = false;
  cell->col = col < 0 ? 0 : col;
  return inside && col >= 0;
}

void GridView::Select(const Cell& anchor, const Cell& corner) {
  if (anchor.row == grid_->Row() && anchor.col == grid_->Col() && corner.row == grid_->RowSel() &&
      corner.col == grid_->ColSel())
    return;
  grid_->UserSelect(anchor.row, anchor.col, corner.row, corner.col);
  AnnounceRow();
}

void GridView::EnsureVisible(const Cell& cell) {
  RECT client;
  GetClientRect(hwnd(), &client);
  const int visible = VisibleRows(client.bottom);
  const int32_t first = FirstScrollRow();
  if (cell.row >= grid_->FixedRows()) {
    if (cell.row < first)
      topRow_ = cell.row;
    else if (cell.row >= first + visible)
      topRow_ = cell.row - visible + 1;
  }
  int left = 0;
  for (int32_t col = 0; col < cell.col; ++col) left += ColPixels(col);
  int right = left + ColPixels(cell.col);
  if (right - leftPx_ > client.right) leftPx_ = right - client.right;
  if (left < leftPx_) leftPx_ = left;
  FitScrollBars();
  InvalidateRect(hwnd(), 0, FALSE);
}

int32_t GridView::StepCol(int32_t col, int step) const {
  for (int32_t c = col + step; c >= 0 && c < grid_->Cols(); c += step)
    if (ColPixels(c) > 0) return c;
  return col;
}

void GridView::OnKey(WPARAM key) {
  const int32_t rows = grid_->Rows();
  const int32_t fixed = grid_->FixedRows();
  if (rows <= fixed) return;
  bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool control = GetKeyState(VK_CONTROL) < 0;
  RECT client;
  GetClientRect(hwnd(), &client);
  const int page = VisibleRows(client.bottom);
  Cell anchor = {grid_->Row(), grid_->Col()};
  Cell to;
  to.row = shift ? grid_->RowSel() : grid_->Row();
  to.col = shift ? grid_->ColSel() : grid_->Col();
  switch (key) {
    case VK_UP:
      to.row -= 1;
      break;
    case VK_DOWN:
      to.row += 1;
      break;
    case VK_PRIOR:
      to.row -= page;
      break;
    case VK_NEXT:
      to.row += page;
      break;
    case VK_LEFT:
      to.col = StepCol(to.col, -1);
      break;
    case VK_RIGHT:
      to.col = StepCol(to.col, 1);
      break;
    case VK_HOME:
      to.col = StepCol(-1, 1);
      if (control) to.row = fixed;
      break;
    case 'A':
      // Ctrl+A: every data row, as Shift+Ctrl+End from the first cell.
      if (!control) return;
      anchor.row = fixed;
      anchor.col = 0;
      shift = true;
      // fall through
    case VK_END:
      to.col = StepCol(grid_->Cols(), -1);
      if (control) to.row = rows - 1;
      break;
    default:
      return;
  }
  to.row = Clamp(to.row, fixed, rows - 1);
  to.col = Clamp(to.col, 0, grid_->Cols() - 1);
  if (!shift) anchor = to;
  Select(anchor, to);
  EnsureVisible(to);
}

void GridView::OnMouseDown(int x, int y) {
  SetFocus(hwnd());
  if (grid_->Rows() <= grid_->FixedRows()) return;
  Cell cell;
  if (!CellAt(x, y, &cell)) return;
  anchor_ = corner_ = cell;
  if (GetKeyState(VK_SHIFT) < 0) {
    anchor_.row = grid_->Row();
    anchor_.col = grid_->Col();
  }
  Select(anchor_, cell);
  EnsureVisible(cell);
  dragging_ = true;
  SetCapture(hwnd());
}

void GridView::OnMouseMove(int x, int y) {
  if (!dragging_ || grid_->Rows() <= grid_->FixedRows()) return;
  Cell cell;
  CellAt(x, y, &cell);
  if (cell.row == corner_.row && cell.col == corner_.col) return;
  corner_ = cell;
  Select(anchor_, cell);
  EnsureVisible(cell);
}

void GridView::Scroll(int bar, int code) {
  SCROLLINFO info;
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(hwnd(), bar, &info)) return;
  const int line = bar == SB_VERT ? 1 : scale_.X(240);
  int pos = info.nPos;
  switch (code) {
    case SB_LINEUP:
      pos -= line;
      break;
    case SB_LINEDOWN:
      pos += line;
      break;
    case SB_PAGEUP:
      pos -= static_cast<int>(info.nPage);
      break;
    case SB_PAGEDOWN:
      pos += static_cast<int>(info.nPage);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = info.nTrackPos;
      break;
    case SB_TOP:
      pos = info.nMin;
      break;
    case SB_BOTTOM:
      pos = info.nMax;
      break;
    default:
      return;
  }
  if (bar == SB_VERT)
    topRow_ = grid_->FixedRows() + pos;
  else
    leftPx_ = pos;
  FitScrollBars();
  InvalidateRect(hwnd(), 0, FALSE);
}

void GridView::ScrollRowsBy(int rows) {
  topRow_ = FirstScrollRow() + rows;
  FitScrollBars();
  InvalidateRect(hwnd(), 0, FALSE);
}

LRESULT GridView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  switch (message) {
    case WM_PAINT: {
      if (layoutDirty_ && grid_->Redraw()) FitScrollBars();
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      // While the table is being rebuilt nothing is drawn; the end of the
      // rebuild asks for a full repaint.
      RECT client;
      GetClientRect(hwnd(), &client);
      if (grid_->Redraw() && client.right > 0 && client.bottom > 0) {
        OwnedMemoryDc memory(CreateCompatibleDC(dc));
        OwnedBitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
        if (memory && bitmap) {
          Selected selected(memory.Get(), bitmap.Get());
          Paint(memory.Get(), client);
          BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
        } else {
          Paint(dc, client);
        }
      }
      EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      if (!inLayout_) layoutDirty_ = true;
      InvalidateRect(hwnd(), 0, FALSE);
      return 0;
    case WM_SETFOCUS:
      AnnounceRow();
      InvalidateRect(hwnd(), 0, FALSE);
      return 0;
    case WM_KILLFOCUS:
      InvalidateRect(hwnd(), 0, FALSE);
      return 0;
    case WM_GETOBJECT:
      if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        if (!accessible_) accessible_ = NewAccessible(this);
        const LRESULT answer = AnswerGetObject(accessible_, wParam);
        if (answer > 0) return answer;
      }
      return Window::OnMessage(message, wParam, lParam);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      OnKey(wParam);
      return 0;
    case WM_LBUTTONDOWN:
      OnMouseDown(x, y);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(x, y);
      return 0;
    case WM_LBUTTONUP:
      dragging_ = false;
      if (GetCapture() == hwnd()) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    case WM_VSCROLL:
      Scroll(SB_VERT, LOWORD(wParam));
      return 0;
    case WM_HSCROLL:
      Scroll(SB_HORZ, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL: {
      // Touchpads and fine wheels send less than a notch at a time.
      wheelRest_ += static_cast<short>(HIWORD(wParam));
      const int rows = wheelRest_ * kWheelRows / WHEEL_DELTA;
      wheelRest_ -= rows * (WHEEL_DELTA / kWheelRows);
      if (rows) ScrollRowsBy(-rows);
      return 0;
    }
    default:
      return Window::OnMessage(message, wParam, lParam);
  }
}

}  // namespace win
