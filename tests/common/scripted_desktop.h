// A desktop that tests drive: it answers message boxes from a script, keeps
// the main window's visibility as a flag, logs every call in order, and lets
// a test act (fire a tick) while a box or the tray menu is open.
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
  bool operator==(const ShownBox& o) const {
    return text == o.text && caption == o.caption && type == o.type;
  }
};

class ScriptedDesktop : public Desktop {
 public:
  // A box with no answer left gets OK, or No for a question.
  int MessageBoxA(const std::string& text, const std::string& caption, unsigned type) override {
    boxes.push_back(ShownBox{text, caption, type});
    calls.push_back("box");
    if (whileBoxOpen) whileBoxOpen(boxes.back());
    const int answer = answers.empty() ? (type & 0xF) == kMbYesNo ? kIdNo : kIdOk : answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  bool IsWindowVisible() override { return visible; }
  void ShowWindow() override { Log("show", true); }
  void HideWindow() override { Log("hide", false); }
  void CenterWindow() override { Log("centre", visible); }
  bool StartProgram(const std::string& path) override {
    started.push_back(path);
    return startSucceeds && !path.empty();
  }
  bool PrevInstance() override { return prevInstance; }
  void HideFromTaskList() override { Log("off the task list", visible); }
  bool AddTrayIcon() override { return Log("tray", visible); }
  void RemoveTrayIcon() override {}
  TrayChoice PopupTrayMenu(bool iniciar) override {
    Log(iniciar ? "menu checked" : "menu", visible);
    return whileMenuOpen ? whileMenuOpen() : kTrayNone;
  }
  void StartTimer(unsigned milliseconds) override {
    Log("timer " + std::to_string(milliseconds), visible);
  }
  void ShowAbout() override {}
  void Quit() override { Log("quit", visible); }

  std::deque<int> answers;
  std::function<void(const ShownBox&)> whileBoxOpen;
  std::function<TrayChoice()> whileMenuOpen;  // returns the item chosen

  std::vector<ShownBox> boxes;
  std::vector<std::string> started;  // programs asked to start
  std::vector<std::string> calls;    // "box", "show", "hide", "tray", ... in order
  bool startSucceeds = true, visible = false, prevInstance = false;

 private:
  bool Log(const std::string& call, bool nowVisible) {
    calls.push_back(call);
    visible = nowVisible;
    return true;
  }
};

}  // namespace plat
