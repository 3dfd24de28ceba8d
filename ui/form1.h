// The main window's behaviour, apart from its pixels: the start-up sequence,
// the close request, the tray icon's reports and menu, the About button.
#pragma once
#include <string>

#include "core/monitor.h"
#include "platform/desktop.h"

// Mouse messages the shell reports on the tray icon.
const int kTrayLeftDoubleClick = 0x203;
const int kTrayRightButtonUp = 0x205;
// The keyboard on the icon (Enter, the context-menu key), as shells that
// report it so send it; the others send a right click.
const int kTrayContextMenu = 0x7B;
const int kTrayKeySelect = 0x401;
// Why the window is asked to close.
const int kUnloadFromWindow = 0;
const int kUnloadFromCode = 1;
const int kUnloadWindowsEnding = 2;
const int kUnloadTaskManager = 3;
const unsigned kTimer1Interval = 10000;

class Form1 {
 public:
  explicit Form1(plat::Desktop* desktop);

  // Runs the start-up sequence; false when this copy must end at once
  // (another copy runs, or the data file cannot be opened).
  bool Form_Load();
  // True to cancel: a close asked for on the window itself only hides it.
  bool Form_QueryUnload(int unloadMode);
  // A request to unload the window, from the source `unloadMode` names: the
  // program ends unless the close request cancels it.
  void Unload(int unloadMode);
  void Command1_Click();
  void Command2_Click();
  // A tick of Timer1, or the end of the quiet time after a fired watch:
  // rescans as the tick always did, when one is due. While a box of ours is
  // open the scan waits, and a fired watch stays pending for the next chance.
  void Timer1_Timer() {
    if (monitor.vigilancia.Toca()) monitor.Timer1_Timer();
  }
  // A report of the tray icon: the mouse message that happened on it.
  void picgancho_MouseMove(int message);
  void mnuAcerca_Click();
  void mnuSalir_Click();
  // Whether the user's Run key starts this very program; choosing the item
  // adds the value, validated at once, or deletes it.
  bool IniciarMarcado() const;
  void mnuIniciar_Click();

  Monitor monitor;

 private:
  plat::Desktop* desktop_;
  bool ocupado_;  // a tray menu is open
};
