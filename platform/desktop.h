// What the window logic needs from the desktop: modal message boxes, the main
// window's visibility, the timer, the tray, starting a program. Windows
// implements it over its window system; the native build scripts it in tests.
#pragma once
#include <string>

namespace plat {

const unsigned kMbOk = 0;
const unsigned kMbYesNo = 4;
const unsigned kMbIconStop = 16;
const int kIdOk = 1;
const int kIdYes = 6;
const int kIdNo = 7;

// Items of the tray icon's popup menu.
enum TrayChoice { kTrayNone = 0, kTrayAbrir = 1, kTrayCerrar = 2, kTrayIniciar = 3 };

class Desktop {
 public:
  // Modal box owned by no window; returns the button pressed.
  virtual int MessageBoxA(const std::string& text, const std::string& caption, unsigned type) = 0;
  virtual bool IsWindowVisible() = 0;  // the main window
  virtual void ShowWindow() = 0;       // non-modal, not moved
  virtual void HideWindow() = 0;
  virtual void CenterWindow() = 0;
  // Starts a program by its path, in a normal window with the focus, without
  // waiting for it; false when it cannot be started.
  virtual bool StartProgram(const std::string& path) = 0;
  virtual bool PrevInstance() = 0;
  virtual void HideFromTaskList() = 0;
  virtual bool AddTrayIcon() = 0;
  virtual void RemoveTrayIcon() = 0;
  // Opens the tray menu at the mouse, "Iniciar con Windows" checked or not,
  // and returns the item chosen.
  virtual TrayChoice PopupTrayMenu(bool iniciar) = 0;
  virtual void StartTimer(unsigned milliseconds) = 0;
  virtual void ShowAbout() = 0;
  // Unloads the main window; the program ends once its loop runs again.
  virtual void Quit() = 0;

 protected:
  ~Desktop() {}
};

}  // namespace plat
