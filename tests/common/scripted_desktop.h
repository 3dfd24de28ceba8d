// A desktop that tests drive: it answers message boxes from a script, keeps
// the main window's visibility as a flag, and lets a test act (fire a tick)
// while a box is open.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace plat {

struct ShownBox {
  std::string text;
  std::string caption;
  unsigned type;
};

class ScriptedDesktop : public Desktop {
 public:
  int MessageBoxA(const std::string& text, const std::string& caption, unsigned type) override;
  bool IsWindowVisible() override { return visible; }
  void ShowWindow() override;
  void HideWindow() override { visible = false; }
  void CenterWindow() override { ++centred; }
  bool StartProgram(const std::string& path) override;
  bool PrevInstance() override { return prevInstance; }
  void HideFromTaskList() override { taskListHidden = true; }
  bool AddTrayIcon() override;
  void RemoveTrayIcon() override { trayIcon = false; }
  TrayChoice PopupTrayMenu() override;
  void StartTimer(unsigned milliseconds) override { timerInterval = milliseconds; }
  void ShowAbout() override { ++aboutShown; }
  void Quit() override { quit = true; }

  // Answers for the next boxes, in order; a box with no answer left gets
  // OK for an OK box and No for a question.
  std::deque<int> answers;
  // Runs while a box is open (after it is recorded, before it is answered).
  std::function<void(const ShownBox&)> whileBoxOpen;
  // Runs while the tray menu is open; its result is the item chosen.
  std::function<TrayChoice()> whileMenuOpen;

  std::vector<ShownBox> boxes;
  std::vector<std::string> started;  // programs asked to start
  bool startSucceeds = true;
  bool visible = false;
  bool prevInstance = false;
  bool taskListHidden = false;
  bool trayIcon = false;
  int trayAdds = 0;
  int menusOpened = 0;
  int centred = 0;
  int aboutShown = 0;
  int shows = 0;  // ShowWindow calls
  bool quit = false;
  unsigned timerInterval = 0;
  // The order of the calls, one word each ("box", "show", "tray", ...).
  std::vector<std::string> calls;
};

}  // namespace plat
