// The table as Microsoft Active Accessibility sees it: a list whose rows are
// its children, answered to WM_GETOBJECT. oleacc.dll, oleaut32.dll and
// ole32.dll are loaded only when a screen reader first asks, so Windows 95
// without them still starts the program.
#pragma once
#include <windows.h>

namespace win {

class GridView;
class GridAccessible;

GridAccessible* NewAccessible(GridView* view);
// The view is gone: the object answers nothing more, and ours is let go.
void ReleaseAccessible(GridAccessible* accessible);
// WM_GETOBJECT's answer for the client area; 0 where MSAA is missing.
LRESULT AnswerGetObject(GridAccessible* accessible, WPARAM wParam);

// WinEvents for a row of the table (child numbers from 1); nothing where
// the system has no WinEvents (Windows 95).
const DWORD kEventFocus = 0x8005;
const DWORD kEventSelection = 0x8006;
const DWORD kEventSelectionWithin = 0x8009;
void NotifyEvent(HWND hwnd, DWORD event, LONG child);

}  // namespace win
