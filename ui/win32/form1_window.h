// The main window `Form1` on screen, and the desktop that the window logic
// talks to: message boxes, showing and hiding, the tray, the timer, the About
// box, single instance and the end of the program.
#pragma once
#include <windows.h>

#include <string>

#include "core/grid.h"
#include "platform/desktop.h"
#include "ui/form1.h"
#include "ui/win32/ayuda_window.h"
#include "ui/win32/grid_view.h"
#include "ui/win32/tray_icon.h"
#include "ui/win32/window.h"

namespace win {

// The id of Timer1's WM_TIMER messages, and of the quiet time after a fired watch.
const UINT_PTR kTimer1 = 1;
const UINT_PTR kTimerCalma = 2;

// The desktop comes first: the window logic calls through it most.
class Form1Window : public plat::Desktop, public Window, private GridListener, private TrayReports {
 public:
  explicit Form1Window(HINSTANCE instance);

  // Creates the window and its controls, hidden.
  bool Create();
  // The start-up sequence; false when this copy must end now (also when the
  // window was closed from the tray while the start-up alert was open).
  bool Load() { return form_.Form_Load() && hwnd(); }
  // The keyboard interface of both windows (Tab, Enter, Esc, arrows).
  bool DialogKeys(MSG* msg);
  const Monitor& monitor() const { return form_.monitor; }
  const plat::Watches& Vigias() const { return form_.monitor.vigilancia.Vigias(); }
  // The wait saw watch i fire: a rescan after the quiet time.
  void Disparada(unsigned i);

  // plat::Desktop
  int MessageBoxA(const std::string& text, const std::string& caption, unsigned type) override;
  bool IsWindowVisible() override;
  void ShowWindow() override;
  void HideWindow() override;
  void CenterWindow() override;
  bool StartProgram(const std::string& path) override;
  bool PrevInstance() override;
  void HideFromTaskList() override;
  bool AddTrayIcon() override;
  void RemoveTrayIcon() override;
  plat::TrayChoice PopupTrayMenu(bool iniciar) override;
  void StartTimer(unsigned milliseconds) override;
  void ShowAbout() override;
  void Quit() override;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyed() override;

 private:
  void OnSelChange() override;
  void OnGridChanged() override;
  void OnTrayReport(int message) override;

  void CreateControls();
  void DrawButton(const DRAWITEMSTRUCT& item);
  // Copies the selection field of the logic into the edit control.
  void ShowSelection();
  void OnCommand(int id);

  HINSTANCE instance_;
  Scale scale_;
  Form1 form_;
  GridView list1_;
  TrayIcon picgancho_;
  AyudaWindow ayuda_;
  OwnedWindow owner_;  // hidden owner: no taskbar button
  OwnedIcon icon_;
  OwnedIcon smallIcon_;
  OwnedBrush background_;
  OwnedFont buttonFont_;
  OwnedKernelHandle instanceMutex_;
  bool prevInstanceKnown_;
  bool prevInstance_;
  UINT taskbarCreated_;
  HWND txtvalidar_;
  HWND focus_;  // control that had the focus when the window was left
};

int RunMessageLoop(Form1Window* window);

}  // namespace win
