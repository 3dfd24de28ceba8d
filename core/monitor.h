// The monitor's state and work: the entry table, the validated list and its
// data file, the scan of the start-up places, the two actions and the
// ten-second check. The main window owns one and forwards its events here.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "core/grid.h"
#include "core/indice.h"
#include "core/regprocs.h"
#include "core/vigilancia.h"
#include "platform/desktop.h"
#include "platform/files.h"

// One record of the data file, as it lies on disk: space-padded CP1252 text
// fields without terminators.
struct EntradaValidada {
  char Ubicacion[10];
  char Subclave[50];
  char Nombre[100];
  char Ruta[100];
};

// Columns of the entry table. The last two are ours: the registry view a
// machine-wide value came from, and the exact name of a value or a file
// (the text of its Exacto), which no display reads, so that an action acts
// on them.
enum {
  kColNombre = 0,
  kColRuta = 1,
  kColValidado = 2,
  kColUbicacion = 3,
  kColSubclave = 4,
  kColVista = 5,
  kColExacto = 6,
  kList1Cols = 7,
  kList2Cols = 4
};

// Records beyond this one are never read: no table row can have a higher
// number, so none of them can have been written by a save.
const int32_t kMaxRegistros = 32767;

// Which values of a place give rows, and when.
enum Filas {
  kFilasValores,     // every value of the key
  kFilasCarpeta,     // every ordinary file of the folder that the value names
  kFilasOrdenExe,    // the open command of .exe files, as the first program read it
  kFilasPresente,    // the value, whenever it is there
  kFilasNoVacio,     // the value, when not empty
  kFilasNoEstandar,  // the value, when not exactly its standard text
  kFilasNoEstandarSinCaso,  // the same without regard to case
  kFilasServicios,          // every automatic service of the key's subkeys, NT only
  kFilasSubclaves,          // the named value of each subkey that has it
};
// How an entry leaves the start-up: its value deleted, its file deleted, the
// standard text written back, the value emptied, the standard written back
// as REG_MULTI_SZ, or its service set to start on demand.
enum Quitar {
  kQuitarValor,
  kQuitarFichero,
  kQuitarEstandar,
  kQuitarVaciar,
  kQuitarEstandarMulti,
  kQuitarServicio
};
// Registry views a place is read in where there are two; one elsewhere.
// A key that Windows 7 and later share between the views reads the same in
// both: its 32-bit view is listed only where it reads otherwise.
enum Vistas { kVistaUna, kVistasDos, kVista64, kVistasCompartidas };

// One watched start-up place. `valor` names the value that gives the row or
// the folder (0: every value of the key); `estandar` is the text written
// back, and compared with where the row depends on it ("\..." lies below
// the system folder).
// A predefined root by the last byte of its handle value, the others being
// 0x80 00 00 for all: with the row packed, four bytes less a place.
struct __attribute__((packed)) Raiz {
  constexpr Raiz(int32_t root) : bajo(static_cast<uint8_t>(root)) {}
  operator int32_t() const { return static_cast<int32_t>(0x80000000u | bajo); }
  uint8_t bajo;
};
struct __attribute__((packed)) Lugar {
  Raiz root;
  const char* key;
  const char* valor;
  const char* estandar;
  uint8_t vistas, filas, quitar;
};
// Whether two places read one key in the same views.
bool MismaClave(const Lugar& a, const Lugar& b);
// Whether the place's rows come from subkeys, so that its key is watched with
// its subtree.
inline bool VigilarSubarbol(const Lugar& l) {
  return l.filas == kFilasServicios || l.filas == kFilasSubclaves;
}
const int kNumLugares = 34;
extern const Lugar kLugares[kNumLugares];

class Monitor {
 public:
  explicit Monitor(plat::Desktop* desktop);

  // Opens (creating when missing) the data file for the whole run: in the
  // system folder, else in the user's application-data folder. False, with
  // the sentence for the user naming each place tried in `why`, if neither.
  bool AbrirFichero(std::string* why);
  const std::string& RutaFichero() const { return ruta_; }
  bool FicheroAbierto() const { return fichero_.IsOpen(); }

  void llegirdelregistre();
  void llegirdelfitxer();
  // False when a record could not be written (`why` says why); the rows
  // written before it stay, and the table is rebuilt either way.
  bool GUARDAR(std::string* why);
  // "SI" when a record holds this name field and command.
  std::string VALIDAR_CLAVE(const std::string& CLAVE, const std::string& RUTA);
  // Removes the current row's entry from start-up and rescans. False, with a
  // sentence for the user in `why`, when it did not take effect.
  bool eliminar(std::string* why);
  void comprobar();
  void Timer1_Timer();

  // The main window's handlers that act on the table.
  void LIST1_SelChange();
  void btnvalidar_Click();
  void Command3_Click();
  // Marks the rows desde to hasta "SI" and saves; a failed save is told.
  void Validar(int32_t desde, int32_t hasta);

  // Every message box of the program goes through here, so that a tick can
  // tell that one is open and keep its hands off the table. Captions are the
  // program's own texts, made into a string here rather than at each call.
  int Caja(const std::string& text, const char* caption, unsigned type);
  bool CajaAbierta() const { return cajasAbiertas_ > 0; }

  Grid LIST1;
  Grid list2;
  std::string TXTVALIDAR;
  Vigilancia vigilancia;  // armed by the scans

 private:
  bool AbrirEn(const std::string& ruta, std::string* why);
  // A row of the cells and, when it has one, the exact name.
  void AnadirEntrada(int32_t* entradas, std::vector<std::string>* cells, const Exacto* exacto);
  // The rows of a place whose entries are the subkeys of `key`.
  void AnadirSubclaves(const Lugar& lugar, const RegKey& key, RegView vista, int32_t* entradas,
                       std::vector<std::string>* cells);
  // Whether the key's values read as the table's rows desde + 1 to hasta.
  bool MismosValores(ValueReader* reader, int32_t desde, int32_t hasta) const;
  // The place a row was listed from, by its hidden columns; -1 if none now.
  int LugarDeFila(int32_t row) const;
  // Whether a record holds the name field and the command a save would write.
  bool Coincide(const std::string& clave, const std::string& ruta) const;
  // The row of the entry with these hidden columns and name; -1 if none.
  int32_t FilaDeEntrada(const std::vector<std::string>& entrada) const;
  std::vector<std::string> EntradaDeFila(int32_t row) const;
  bool QuitarFichero(const Lugar& lugar, const std::string& carpeta, const std::string& nombre,
                     const Exacto& exacto, std::string* why);

  plat::Desktop* desktop_;
  plat::RecordFile fichero_;
  std::string ruta_;  // where the data file is
  EntradaValidada registro_;
  IndiceDeValidados validados_;  // of list2, rebuilt by every load that changed it
  std::string cargado_;  // the records list2 was built from; empty after a failed read
  std::string lectura_;  // the last read, its block kept: a large one costs pages each time
  int cajasAbiertas_;
};
