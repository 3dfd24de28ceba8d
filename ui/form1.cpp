#include "ui/form1.h"

#include "core/regprocs.h"
#include "core/texts.h"
#include "platform/files.h"
#include "platform/nocase.h"

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
    switch (desktop_->PopupTrayMenu(IniciarMarcado())) {
      case plat::kTrayAbrir:
        mnuAcerca_Click();
        break;
      case plat::kTrayIniciar:
        mnuIniciar_Click();
        break;
      case plat::kTrayCerrar:
        mnuSalir_Click();
        break;
      case plat::kTrayNone:
        break;
    }
  }
  ocupado_ = false;
}

void Form1::mnuAcerca_Click() {
  desktop_->CenterWindow();
  desktop_->ShowWindow();
}

void Form1::mnuSalir_Click() { Unload(kUnloadFromCode); }

bool Form1::IniciarMarcado() const {
  return plat::SameNoCase(ReadRegValue(plat::kHkeyCurrentUser, txt::kRunKey, txt::kAppTitle),
                          plat::ProgramCommand());
}

void Form1::mnuIniciar_Click() {
  const bool antes = IniciarMarcado();
  const std::string clave = txt::kRunKey, valor = txt::kAppTitle, orden = plat::ProgramCommand();
  if (antes)
    DeleteRegValue(plat::kHkeyCurrentUser, clave, valor);
  else
    WriteRegValue(plat::kHkeyCurrentUser, clave, valor, plat::kRegSz, orden);
  // Read back: the procedures tell no failure, and a policy may refuse.
  if (IniciarMarcado() == antes) {
    monitor.Caja(txt::kIniciarFallo, txt::kAppTitle, plat::kMbOk | plat::kMbIconStop);
    return;
  }
  monitor.llegirdelregistre();
  // From the end: the user's Run key is listed after the machine's, and no
  // later place has that key path.
  const Grid& grid = monitor.LIST1;
  for (int32_t i = grid.Rows() - 1; !antes && i > 0; --i)
    if (grid.TextMatrix(i, kColSubclave) == clave && grid.TextMatrix(i, kColNombre) == valor)
      return monitor.Validar(i, i);
}
