#include "ui/win32/form1_window.h"

#include <string.h>

#include "core/texts.h"
#include "ui/win32/resource.h"

namespace win {

namespace {

const char kClassName[] = "CentinelaForm1";
// Held for the whole run by the first copy; a second copy finds it taken.
const char kInstanceMutex[] = "CentinelaXimvarUnaInstancia";
const DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

const int kButtonFontCentipoints = 825;

// Control numbers; 1 and 2 stay free for the Enter and Esc commands.
enum {
  kIdLabel1 = 10,
  kIdList1,
  kIdLabel2,
  kIdTxtValidar,
  kIdBtnValidar,
  kIdCommand3,
  kIdCommand2
};

// Every control but the grid and `picgancho`, in twips.
const ControlLayout kControls[] = {
    {"STATIC", txt::kLabel1, SS_LEFT | SS_NOPREFIX, 0, 120, 120, 6615, 255, kIdLabel1, false},
    {"STATIC", txt::kLabel2, SS_LEFT | SS_NOPREFIX, 0, 120, 3000, 1815, 375, kIdLabel2, false},
    {"EDIT", "", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 1920, 3000, 2055, 285,
     kIdTxtValidar, false},
    {"BUTTON", txt::kBtnValidar, BS_OWNERDRAW | WS_TABSTOP, 0, 4080, 3000, 1575, 255, kIdBtnValidar,
     true},
    {"BUTTON", txt::kCommand3, BS_OWNERDRAW | WS_TABSTOP, 0, 5760, 3000, 1335, 255, kIdCommand3,
     true},
    {"BUTTON", txt::kCommand2, BS_PUSHBUTTON | WS_TABSTOP, 0, 7200, 3000, 255, 255, kIdCommand2,
     false},
};

// Starts a program by its path, never by a search of an unquoted command
// line, so "C:\Program Files\x.exe" cannot become "C:\Program.exe".
bool StartProgramPath(const std::string& path) {
  char commandLine[1100];
  if (path.empty() || path.size() + 3 > sizeof commandLine) return false;
  commandLine[0] = '"';
  memcpy(commandLine + 1, path.data(), path.size());
  memcpy(commandLine + 1 + path.size(), "\"", 2);
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(path.c_str(), commandLine, 0, 0, FALSE, 0, 0, 0, &startup, &process))
    return false;
  OwnedKernelHandle thread(process.hThread), started(process.hProcess);
  return true;
}

// Vista and later keep messages from lower integrity levels away from an
// elevated window; Explorer's "TaskbarCreated" must still reach it. Looked up
// at run time: the function is missing before Vista.
void LetTaskbarCreatedIn(UINT message) {
  typedef BOOL(WINAPI * FilterFn)(UINT, DWORD);
  const DWORD kMsgFltAdd = 1;
  FilterFn filter = SystemFunction<FilterFn>("user32.dll", "ChangeWindowMessageFilter");
  if (filter) filter(message, kMsgFltAdd);
}

HICON LoadIconSized(HINSTANCE instance, int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_CENTINELA), IMAGE_ICON,
                                       GetSystemMetrics(widthMetric),
                                       GetSystemMetrics(heightMetric), 0));
}

}  // namespace

Form1Window::Form1Window(HINSTANCE instance)
    : instance_(instance),
      form_(this),
      list1_(&form_.monitor.LIST1),
      picgancho_(this),
      ayuda_(this, &form_.monitor),
      prevInstanceKnown_(false),
      prevInstance_(false),
      taskbarCreated_(0),
      txtvalidar_(0),
      focus_(0) {}

bool Form1Window::Create() {
  icon_.Reset(LoadIconSized(instance_, SM_CXICON, SM_CYICON));
  smallIcon_.Reset(LoadIconSized(instance_, SM_CXSMICON, SM_CYSMICON));
  ReadColours();
  background_.Reset(CreateSolidBrush(Colours(col::kFormulario).fondo));
  buttonFont_.Reset(CreateUiFont(scale_, "Tahoma", kButtonFontCentipoints, FW_NORMAL));
  // A window that owns the main one keeps it off the taskbar; it is never
  // shown and has no title, so no task list names it.
  owner_.Reset(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, 0, 0, instance_, 0));
  taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
  LetTaskbarCreatedIn(taskbarCreated_);

  RegisterClassOnce(instance_, kClassName, 0, 0, 0);
  SIZE size = OuterSize(scale_.X(7545), scale_.Y(3390), kStyle, 0);
  RECT rect = {0, 0, size.cx, size.cy};
  if (!Window::Create(instance_, kClassName, txt::kForm1Caption, kStyle, 0, rect, 0, 0))
    return false;
  SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
  SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
  CenterOnScreen(hwnd());
  form_.monitor.LIST1.SetListener(this);
  return true;
}

void Form1Window::CreateControls() {
  // The grid first: the tab order is LIST1, TXTVALIDAR, btnvalidar,
  // Command3, Command2.
  list1_.Create(instance_, hwnd(), kIdList1, scale_.Rect(120, 360, 7335, 2535), scale_);
  win::CreateControls(hwnd(), scale_, kControls, sizeof kControls / sizeof kControls[0],
                      buttonFont_.Get());
  txtvalidar_ = GetDlgItem(hwnd(), kIdTxtValidar);
  picgancho_.Create(instance_, hwnd(), scale_.Rect(4200, 480, 255, 375));
  focus_ = list1_.hwnd();
}

bool Form1Window::DialogKeys(MSG* msg) {
  if (ayuda_.DialogKeys(msg)) return true;
  // Once the window is gone, no message is a dialog message.
  return hwnd() && IsDialogMessageA(hwnd(), msg);
}

void Form1Window::ShowSelection() {
  if (!txtvalidar_) return;
  // The field shows the start of a long text: Windows 9x edit fields hold
  // 64 KB at most, and a longer text would leave the field blank.
  char shown[1024];
  std::string wanted = form_.monitor.TXTVALIDAR.substr(0, sizeof shown - 1);
  wanted = wanted.substr(0, wanted.find('\0'));
  GetWindowTextA(txtvalidar_, shown, sizeof shown);
  // Rewriting the same text would only flicker the field.
  if (wanted != shown) SetWindowTextA(txtvalidar_, wanted.c_str());
}

void Form1Window::DrawButton(const DRAWITEMSTRUCT& item) {
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  RECT rect = item.rcItem;
  const col::Colores colours =
      Colours(item.CtlID == kIdBtnValidar ? col::kBotonValidar : col::kBotonEliminar);
  FillSolid(item.hDC, rect, colours.fondo);
  DrawEdge(item.hDC, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  const char* text = item.CtlID == kIdBtnValidar ? txt::kBtnValidar : txt::kCommand3;
  RECT label = rect;
  if (pressed) OffsetRect(&label, 1, 1);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, colours.texto);
  {
    Selected font(item.hDC, buttonFont_.Get());
    DrawTextA(item.hDC, text, -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  if (item.itemState & ODS_FOCUS) {
    InflateRect(&rect, -3, -3);
    DrawFocusRect(item.hDC, &rect);
  }
}

void Form1Window::OnCommand(int id) {
  switch (id) {
    case kIdBtnValidar:
      form_.monitor.btnvalidar_Click();
      break;
    case kIdCommand3:
      form_.monitor.Command3_Click();
      break;
    case kIdCommand2:
      form_.Command2_Click();
      break;
    case IDCANCEL:  // Escape, from the dialog keys: as the close box
      form_.Unload(kUnloadFromWindow);
      return;
    default:
      return;
  }
  ShowSelection();
}

LRESULT Form1Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (taskbarCreated_ && message == taskbarCreated_) {
    picgancho_.AddAgain();
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(hwnd(), &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, background_.Get());
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
      // The read-only selection field keeps an ordinary text box's colours.
      const bool field = reinterpret_cast<HWND>(lParam) == txtvalidar_;
      SetDcColours(reinterpret_cast<HDC>(wParam), Colours(field ? col::kCampo : col::kFormulario));
      return reinterpret_cast<LRESULT>(field ? GetSysColorBrush(COLOR_WINDOW) : background_.Get());
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:  // high contrast turned on or off
      ReadColours();
      background_.Reset(CreateSolidBrush(Colours(col::kFormulario).fondo));
      Repaint(hwnd());
      return 0;
    case WM_DRAWITEM:
      DrawButton(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND: {
      // Enter comes as IDOK from the dialog keys; it clicks the focused button.
      HWND focus = GetFocus();
      int id = LOWORD(wParam);
      if (id == IDOK && IsChild(hwnd(), focus))
        id = static_cast<int>(GetWindowLongPtrA(focus, GWLP_ID));
      if (HIWORD(wParam) == BN_CLICKED) OnCommand(id);
      return 0;
    }
    case WM_TIMER:  // Timer1, or the quiet time after a fired watch: one rescan serves both
      if (wParam == kTimerCalma) KillTimer(hwnd(), kTimerCalma);  // one-shot; Timer1 keeps ticking
#ifdef CENTINELA_TIMER1_MS  // the benchmark's timed copies scan at every tick
      form_.monitor.vigilancia.Pendiente();
#endif
      form_.Timer1_Timer();
      ShowSelection();
      return 0;
    case WM_ACTIVATE:
      TrackFocus(hwnd(), wParam, &focus_);
      return 0;
    case WM_SYSCOMMAND:
      // The close box, the control menu and Alt+F4. Left to the default,
      // they would come back as a bare WM_CLOSE, which is another program's.
      if ((wParam & 0xFFF0) != SC_CLOSE) return Window::OnMessage(message, wParam, lParam);
      form_.Unload(kUnloadFromWindow);
      return 0;
    case WM_CLOSE:
      // End Task, or any other program asking the window to close.
      form_.Unload(kUnloadTaskManager);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) form_.Unload(kUnloadWindowsEnding);
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd(), kTimer1);
      RemoveTrayIcon();
      ayuda_.Close();
      PostQuitMessage(0);
      return 0;
    default:
      return Window::OnMessage(message, wParam, lParam);
  }
}

void Form1Window::OnDestroyed() {
  // A handler that resumes after its box must find no control to touch.
  txtvalidar_ = 0;
  focus_ = 0;
}

void Form1Window::OnSelChange() {
  form_.monitor.LIST1_SelChange();
  ShowSelection();
}

void Form1Window::OnGridChanged() { list1_.GridChanged(); }

void Form1Window::OnTrayReport(int message) { form_.picgancho_MouseMove(message); }

int Form1Window::MessageBoxA(const std::string& text, const std::string& caption, unsigned type) {
  // Disabling the window for the box takes its focus: kept to give back.
  HWND active = GetActiveWindow();
  HWND focus = GetFocus();
  if (IsChild(hwnd(), focus)) focus_ = focus;
  // No owner and task-modal: every window of the program waits for the answer.
  const int answer =
      ::MessageBoxA(0, text.c_str(), caption.c_str(), type | MB_TASKMODAL | MB_SETFOREGROUND);
  // Still disabled when the box went, no window of ours took the activation
  // back; the one that had it gets it again, if it is still there.
  if (IsWindow(active)) SetForegroundWindow(active);
  return answer;
}

bool Form1Window::IsWindowVisible() { return ::IsWindowVisible(hwnd()) != FALSE; }

void Form1Window::ShowWindow() { ::ShowWindow(hwnd(), SW_SHOW); }

void Form1Window::HideWindow() { ::ShowWindow(hwnd(), SW_HIDE); }

void Form1Window::CenterWindow() {
  if (hwnd()) CenterOnScreen(hwnd());
}

bool Form1Window::StartProgram(const std::string& path) { return StartProgramPath(path); }

bool Form1Window::PrevInstance() {
  if (!prevInstanceKnown_) {
    HANDLE mutex = CreateMutexA(0, FALSE, kInstanceMutex);
    // Access denied: a copy running elevated or as another user holds it.
    const DWORD error = GetLastError();
    prevInstance_ = mutex ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
    instanceMutex_.Reset(mutex);
    prevInstanceKnown_ = true;
  }
  return prevInstance_;
}

void Form1Window::HideFromTaskList() {
  SetWindowLongPtrA(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner_.Get()));
}

bool Form1Window::AddTrayIcon() { return picgancho_.Add(smallIcon_.Get()); }

void Form1Window::RemoveTrayIcon() { picgancho_.Remove(); }

plat::TrayChoice Form1Window::PopupTrayMenu(bool iniciar) {
  return picgancho_.PopupMenu(hwnd(), iniciar);
}

void Form1Window::StartTimer(unsigned milliseconds) {
#ifdef CENTINELA_TIMER1_MS  // the benchmark's copy: only the interval differs
  milliseconds = CENTINELA_TIMER1_MS;
#endif
  if (hwnd()) SetTimer(hwnd(), kTimer1, milliseconds, 0);
}

void Form1Window::ShowAbout() { ayuda_.Open(instance_, owner_.Get(), scale_); }

void Form1Window::Quit() {
  RemoveTrayIcon();
  if (hwnd()) DestroyWindow(hwnd());
}

void Form1Window::Disparada(unsigned i) {
  form_.monitor.vigilancia.Disparada(i);
  SetTimer(hwnd(), kTimerCalma, kCalmaMs, 0);
}

// Messages and the watches together. The wait wakes only for input that
// arrived since the queue was last looked at.
int RunMessageLoop(Form1Window* window) {
  for (;;) {
    MSG msg;
    // A message handled, the watches are looked at before the next: ticks
    // that come due faster than they end would never let the queue empty.
    DWORD timeout = INFINITE;
    if (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return 0;
      if (!window->DialogKeys(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      timeout = 0;
    }
    // The benchmark's idle copy watches nothing.
#ifdef CENTINELA_SIN_VIGIAS
    const DWORD n = 0;
#else
    const DWORD n = window->Vigias().Count();
#endif
    // Waits only once the queue was found empty, so no input waits unseen.
    const DWORD fired = MsgWaitForMultipleObjects(n, window->Vigias().Handles(), FALSE, timeout,
                                                  QS_ALLINPUT) - WAIT_OBJECT_0;
    if (fired < n) window->Disparada(fired);
  }
}

}  // namespace win
