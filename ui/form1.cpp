#include "ui/form1.h"

#include "core/texts.h"

Form1::Form1(plat::Desktop* desktop) : monitor(desktop), desktop_(desktop), ocupado_(false) {}

bool Form1::Form_Load() {
  std::string why;
  if (!monitor.AbrirFichero(&why)) {
    monitor.Caja(why, txt::kAppTitle, plat::kMbOk | plat::kMbIconStop);
    return false;
  }
  if (desktop_->PrevInstance()) {
    mnuAcerca_Click();
    Form_QueryUnload(kUnloadFromCode);
    return false;
  }
  desktop_->AddTrayIcon();
  desktop_->HideFromTaskList();
  monitor.llegirdelregistre();
  monitor.comprobar();
  desktop_->StartTimer(kTimer1Interval);
  return true;
}

bool Form1::Form_QueryUnload(int unloadMode) {
  Command1_Click();
  return unloadMode == kUnloadFromWindow;
}

void Form1::Unload(int unloadMode) {
  if (!Form_QueryUnload(unloadMode)) desktop_->Quit();
}

void Form1::Command1_Click() {
  desktop_->HideWindow();
  monitor.vigilancia.Pendiente();
}

void Form1::Command2_Click() { desktop_->ShowAbout(); }

void Form1::picgancho_MouseMove(int message) {
  // Reports that arrive while our menu is open must not open another.
  if (ocupado_) return;
  ocupado_ = true;
  if (message == kTrayLeftDoubleClick || message == kTrayRightButtonUp ||
      message == kTrayContextMenu || message == kTrayKeySelect) {
    plat::TrayChoice choice = desktop_->PopupTrayMenu();
    if (choice == plat::kTrayAbrir) mnuAcerca_Click();
    if (choice == plat::kTrayCerrar) mnuSalir_Click();
  }
  ocupado_ = false;
}

void Form1::mnuAcerca_Click() {
  desktop_->CenterWindow();
  desktop_->ShowWindow();
}

void Form1::mnuSalir_Click() { Unload(kUnloadFromCode); }
