// The watch over the start-up places, and when to rescan: soon after a place
// changes, at a tick only where something could not be watched, and at least
// every ten minutes in case the system lost a notification. After a watch
// fired, the next scan arms each one again just before it reads the key or
// folder, so that nothing changed after the read goes unseen; a scan with
// every watch still armed costs no call for them.
#pragma once
#include <stdint.h>

#include <string>

#include "core/regprocs.h"
#include "platform/watch.h"

// Ticks of Timer1 between full rescans when every place is watched.
const int kTicksGuardia = 60;
// A burst of changes (an installer writing 150 values) gives one rescan.
const unsigned kCalmaMs = 250;

class Vigilancia {
 public:
  Vigilancia() : pendiente_(false), incompleta_(true), armando_(false), disparada_(false), ticks_(0) {}
  // A scan begins: after a watch fired, or where some place was not watched,
  // every watch ends and the scan arms them again.
  void Empezar();
  void Clave(int32_t root, const char* key, RegView vista, bool subarbol);
  void Carpeta(const std::string& carpeta);
  // The wait saw watch i fire.
  void Disparada(unsigned i);
  // The next chance rescans: the window was hidden, and the tick after a
  // hide alerts again over an entry still not validated.
  void Pendiente() { pendiente_ = true; }
  // Whether to rescan now, at a tick of Timer1 or after the quiet time that
  // follows a fired watch: something is pending, some place is not watched,
  // or the ten minutes are up.
  bool Toca();
  const plat::Watches& Vigias() const { return vigias_; }

 private:
  plat::Watches vigias_;
  bool pendiente_;   // a watch fired, or the window was hidden, since the last scan began
  bool incompleta_;  // some place is not watched: polled as before
  bool armando_;     // this scan makes the watches anew
  bool disparada_;   // a watch fired since they were made
  int ticks_;        // asked since the last scan
};
