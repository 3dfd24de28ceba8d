#include "tests/common/scripted_desktop.h"

namespace plat {

int ScriptedDesktop::MessageBoxA(const std::string& text, const std::string& caption,
                                 unsigned type) {
  ShownBox box = {text, caption, type};
  boxes.push_back(box);
  calls.push_back("box");
  if (whileBoxOpen) whileBoxOpen(box);
  if (!answers.empty()) {
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return (type & 0xF) == kMbYesNo ? kIdNo : kIdOk;
}

void ScriptedDesktop::ShowWindow() {
  visible = true;
  ++shows;
  calls.push_back("show");
}

bool ScriptedDesktop::StartProgram(const std::string& path) {
  started.push_back(path);
  return startSucceeds && !path.empty();
}

bool ScriptedDesktop::AddTrayIcon() {
  trayIcon = true;
  ++trayAdds;
  calls.push_back("tray");
  return true;
}

TrayChoice ScriptedDesktop::PopupTrayMenu() {
  ++menusOpened;
  calls.push_back("menu");
  return whileMenuOpen ? whileMenuOpen() : kTrayNone;
}

}  // namespace plat
