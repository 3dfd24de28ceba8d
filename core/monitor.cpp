#include "core/monitor.h"

#include <string.h>

#include <vector>

#include "core/regprocs.h"
#include "core/strutil.h"
#include "core/texts.h"
#include "platform/registry.h"

static_assert(sizeof(EntradaValidada) == 260, "records are 260 bytes on disk");

const Lugar kLugares[kNumLugares] = {
    {plat::kHkeyLocalMachine, txt::kRunKey},
    {plat::kHkeyLocalMachine, txt::kRunServicesKey},
    {plat::kHkeyCurrentUser, txt::kRunKey},
    {plat::kHkeyCurrentUser, txt::kRunServicesKey},
};

namespace {

const uint32_t kRecordLength = sizeof(EntradaValidada);
const int32_t kMinList2Records = 30;


// Pads with spaces or cuts, as a fixed-width field of the data file holds it.
void Rellenar(char* field, size_t width, const std::string& text) {
  size_t n = text.size() < width ? text.size() : width;
  memcpy(field, text.data(), n);
  memset(field + n, ' ', width - n);
}

std::string Campo(const char* field, size_t width) { return std::string(field, width); }

bool TodoCeros(const char* bytes, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (bytes[i] != 0) return false;
  return true;
}

// Leaves a grid with one blank row and no fixed one, as both lists are before
// they are refilled. Rows go at once: one by one would cost rows squared.
void Vaciar(Grid* grid) {
  grid->SetFixedRows(0);
  grid->SetRows(1);
  grid->Clear();
}

std::string Cabecera() {
  return std::string(txt::kHeaderNombre) + '\t' + txt::kHeaderRuta + '\t' + txt::kHeaderValidado;
}

RegView VistaDeTexto(const std::string& vista) {
  if (vista == txt::kView64) return kRegView64;
  if (vista == txt::kView32) return kRegView32;
  return kRegViewDefault;
}

// After a deletion: the value may still be there when its key cannot be
// read (it may be only hidden from the rescan) or when it is.
bool ValorQuizaSigue(int32_t root, const std::string& subclave, const std::string& nombre,
                     RegView vista) {
  RegKey key;
  plat::LONG status = plat::kErrorSuccess;
  if (!key.Open(root, subclave, vista, plat::kKeyQueryValue, &status))
    return status != plat::kErrorFileNotFound;
  plat::DWORD size = 0;
  return plat::RegQueryValueExA(key.Handle(), nombre.c_str(), 0, 0, 0, &size) ==
         plat::kErrorSuccess;
}

bool NombreDeFicheroSeguro(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("\\/:") == std::string::npos;
}

}  // namespace

Monitor::Monitor(plat::Desktop* desktop)
    : LIST1(kList1Cols), list2(kList2Cols), desktop_(desktop), cajasAbiertas_(0) {
  memset(&registro_, ' ', sizeof registro_);
}

bool Monitor::AbrirFichero(std::string* why) {
  return fichero_.Open(txt::kDataFile, kRecordLength, why);
}

int Monitor::Caja(const std::string& text, const std::string& caption, unsigned type) {
  ++cajasAbiertas_;
  int answer = desktop_->MessageBoxA(text, caption, type);
  --cajasAbiertas_;
  return answer;
}

void Monitor::llegirdelregistre() {
  Vaciar(&LIST1);
  LIST1.AddItem(Cabecera(), 0);

  // One read of the data file serves every lookup of this scan.
  llegirdelfitxer();
  int32_t entradas = 0;
  std::vector<std::string> cells(kList1Cols);

  const bool dosVistas = plat::RegHasTwoViews();
  for (int p = 0; p < kNumLugares; ++p) {
    const Lugar& lugar = kLugares[p];
    const bool porVistas = dosVistas && lugar.root == plat::kHkeyLocalMachine;
    const RegView vistas[2] = {porVistas ? kRegView64 : kRegViewDefault, kRegView32};
    for (int v = 0; v < (porVistas ? 2 : 1); ++v) {
      RegKey key;
      key.Open(lugar.root, lugar.key, vistas[v]);
      for (uint32_t i = 0;; ++i) {
        EnumStatus status;
        RegEnumResult value = EnumValueAt(key, i, kRegNameChars, kRegDataBytes, &status);
        if (status == kEnumUnreadable)
          value = EnumValueAt(key, i, kRegNameCharsMax, kRegDataBytesMax, &status);
        if (status == kEnumNoMore) break;
        cells[kColNombre] = value.name;
        cells[kColRuta] = status == kEnumOk ? value.data : std::string(txt::kNotFound);
        cells[kColUbicacion] = DecimalText(lugar.root);
        cells[kColSubclave] = lugar.key;
        cells[kColVista] = !porVistas ? "" : (v == 0 ? txt::kView64 : txt::kView32);
        AnadirEntrada(&entradas, &cells);
      }
    }
  }

  cells.assign(kList1Cols, std::string());
  const std::string carpeta =
      ReadRegValue(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue);
  if (carpeta != txt::kNotFound) {
    std::vector<std::string> names;
    plat::ListOrdinaryFiles(carpeta + txt::kAllFiles, &names);
    for (size_t i = 0; i < names.size(); ++i) {
      cells[kColNombre] = cells[kColRuta] = names[i];
      cells[kColUbicacion] = carpeta;
      AnadirEntrada(&entradas, &cells);
    }
  }

  const std::string orden = ReadRegValue(plat::kHkeyClassesRoot, txt::kOpenCommandKey, "");
  if ((orden.size() > 1 ? orden.substr(1, 2) : std::string()) != "%1") {
    cells[kColNombre] = cells[kColRuta] = orden;
    cells[kColUbicacion] = DecimalText(plat::kHkeyClassesRoot);
    AnadirEntrada(&entradas, &cells);
  }

  LIST1.SetFixedRows(1);
  LIST1.SetColWidth(kColUbicacion, 0);
  LIST1.SetColWidth(kColSubclave, 0);
  LIST1.SetColWidth(kColNombre, 2400);
  LIST1.SetColWidth(kColRuta, 4000);
  LIST1.SetColWidth(kColValidado, 600);
  LIST1.SetColWidth(kColVista, 0);
  LIST1.SetRows(LIST1.Rows() - 1);
}

void Monitor::llegirdelfitxer() {
  Vaciar(&list2);
  list2.AddItem(Cabecera(), 0);

  int32_t total = kMinList2Records;
  if (fichero_.IsOpen() && static_cast<int32_t>(fichero_.RecordCount()) > total)
    total = static_cast<int32_t>(fichero_.RecordCount());
  std::vector<std::string> cells(kList2Cols);
  char* buffer = reinterpret_cast<char*>(&registro_);
  for (int32_t n = 1; n <= total; ++n) {
    // A record never written (past the end, or a gap of zeros) stays an
    // empty row, which no name matches.
    if (fichero_.IsOpen() && fichero_.ReadRecord(static_cast<uint32_t>(n), buffer) &&
        !TodoCeros(buffer, kRecordLength)) {
      cells[0] = Campo(registro_.Nombre, sizeof registro_.Nombre);
      cells[1] = Campo(registro_.Ruta, sizeof registro_.Ruta);
      cells[2] = Campo(registro_.Ubicacion, sizeof registro_.Ubicacion);
      cells[3] = Campo(registro_.Subclave, sizeof registro_.Subclave);
    } else {
      cells.assign(kList2Cols, std::string());
    }
    list2.InsertRowCells(n, cells);
  }

  list2.SetFixedRows(1);
  list2.SetColWidth(3, 0);
  list2.SetColWidth(0, 2700);
  list2.SetColWidth(1, 4000);
  list2.SetColWidth(2, 0);
  list2.SetRows(list2.Rows() - 1);
}

bool Monitor::GUARDAR(std::string* why) {
  bool ok = true;
  const int32_t n = LIST1.Rows() - 1;
  for (int32_t i = 1; i <= n; ++i) {
    if (LIST1.TextMatrix(i, kColValidado) != txt::kSi) continue;
    Rellenar(registro_.Nombre, sizeof registro_.Nombre, LIST1.TextMatrix(i, kColNombre));
    Rellenar(registro_.Ruta, sizeof registro_.Ruta, LIST1.TextMatrix(i, kColRuta));
    Rellenar(registro_.Ubicacion, sizeof registro_.Ubicacion, LIST1.TextMatrix(i, kColUbicacion));
    Rellenar(registro_.Subclave, sizeof registro_.Subclave, LIST1.TextMatrix(i, kColSubclave));
    if (!fichero_.WriteRecord(static_cast<uint32_t>(i), reinterpret_cast<char*>(&registro_), why)) {
      ok = false;
      break;
    }
  }
  // Rescan even after a failed write, so the table shows what the file holds.
  llegirdelregistre();
  return ok;
}

std::string Monitor::VALIDAR_CLAVE(const std::string& CLAVE) {
  llegirdelfitxer();
  return Coincide(CLAVE) ? txt::kSi : txt::kNo;
}

// Rows are filled cell by cell so that a tab inside a name stays in its cell;
// each goes just above the trailing empty row, in the order found.
void Monitor::AnadirEntrada(int32_t* entradas, std::vector<std::string>* cells) {
  (*cells)[kColValidado] = Coincide((*cells)[kColNombre]) ? txt::kSi : txt::kNo;
  LIST1.InsertRowCells(1 + *entradas, *cells);
  ++*entradas;
}

// A name matches a stored one as a whole: padded or cut to the field exactly
// as a save would store it.
bool Monitor::Coincide(const std::string& name) const {
  char field[sizeof registro_.Nombre];
  Rellenar(field, sizeof field, name);
  for (int32_t i = 1; i < list2.Rows(); ++i) {
    const std::string& stored = list2.TextMatrix(i, 0);
    if (stored.size() == sizeof field && memcmp(stored.data(), field, sizeof field) == 0)
      return true;
  }
  return false;
}

int32_t Monitor::FilaDeEntrada(const std::string& ubicacion, const std::string& subclave,
                               const std::string& vista, const std::string& nombre) const {
  for (int32_t i = 1; i < LIST1.Rows(); ++i) {
    if (LIST1.TextMatrix(i, kColNombre) == nombre &&
        LIST1.TextMatrix(i, kColUbicacion) == ubicacion &&
        LIST1.TextMatrix(i, kColSubclave) == subclave && LIST1.TextMatrix(i, kColVista) == vista)
      return i;
  }
  return -1;
}

bool Monitor::eliminar(std::string* why) {
  const int32_t row = LIST1.Row();
  if (row < 1 || row >= LIST1.Rows()) return true;
  const std::string ubicacion = LIST1.TextMatrix(row, kColUbicacion);
  const std::string subclave = LIST1.TextMatrix(row, kColSubclave);
  const std::string nombre = LIST1.TextMatrix(row, kColNombre);
  const std::string vista = LIST1.TextMatrix(row, kColVista);
  LIST1.SetCol(kColNombre);

  const std::string carpeta =
      ReadRegValue(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue);
  const std::string inicio = std::string(txt::kNoEliminadoBefore) + nombre;
  int32_t root = 0;
  bool quizaSigue = false;
  if (carpeta != txt::kNotFound && ubicacion == carpeta) {
    // Only a plain file name of the folder the registry names is deleted.
    if (!NombreDeFicheroSeguro(nombre)) {
      llegirdelregistre();
      *why = inicio + txt::kNoEliminadoNombre;
      return false;
    }
    std::string reason;
    if (!plat::DeleteFileA(carpeta + "\\" + nombre, &reason)) {
      llegirdelregistre();
      *why = inicio + txt::kNoEliminadoFichero + reason;
      return false;
    }
  } else if (ParseInt32(ubicacion, &root)) {
    if (root != plat::kHkeyClassesRoot) {
      DeleteRegValue(root, subclave, nombre, VistaDeTexto(vista));
      quizaSigue = ValorQuizaSigue(root, subclave, nombre, VistaDeTexto(vista));
    } else {
      WriteRegValue(plat::kHkeyClassesRoot, txt::kOpenCommandKey, "", plat::kRegSz,
                    txt::kStandardOpenCommand);
    }
  } else {
    // The Startup folder setting changed since the scan: nothing is known to
    // be safe to delete.
    llegirdelregistre();
    *why = inicio + txt::kNoEliminadoCarpeta;
    return false;
  }
  llegirdelregistre();
  if (quizaSigue || FilaDeEntrada(ubicacion, subclave, vista, nombre) > 0) {
    *why = inicio + txt::kNoEliminadoSigue;
    return false;
  }
  return true;
}

void Monitor::comprobar() {
  bool visto = false;
  LIST1.SetCol(kColValidado);
  const int32_t n = LIST1.Rows() - 1;
  for (int32_t i = 1; i <= n; ++i) {
    LIST1.SetRow(i);
    if (LIST1.Text() == txt::kNo) visto = true;
  }
  if (visto && !desktop_->IsWindowVisible()) {
    Caja(txt::kAlertText, txt::kAlertCaption, plat::kMbOk | plat::kMbIconStop);
    desktop_->ShowWindow();
  }
}

void Monitor::Timer1_Timer() {
  // A box of ours is open: the user is answering about the table as it is.
  if (CajaAbierta()) return;
  const int32_t r = LIST1.RowSel();
  const int32_t c = LIST1.ColSel();
  const bool esEntrada = r >= 1 && r < LIST1.Rows();
  const std::string ubicacion = LIST1.TextMatrix(r, kColUbicacion);
  const std::string subclave = LIST1.TextMatrix(r, kColSubclave);
  const std::string vista = LIST1.TextMatrix(r, kColVista);
  const std::string nombre = LIST1.TextMatrix(r, kColNombre);

  LIST1.SetRedraw(false);
  llegirdelregistre();
  LIST1.SetRedraw(true);
  comprobar();

  // The selection follows the entry; when the entry is gone, no action may
  // fall on whatever took its row.
  int32_t fila = esEntrada ? FilaDeEntrada(ubicacion, subclave, vista, nombre) : r;
  if (fila < 0) {
    fila = r;
    TXTVALIDAR.clear();
  }
  if (fila > LIST1.Rows() - 1) fila = LIST1.Rows() - 1;
  if (fila < 0) fila = 0;
  LIST1.SetRow(fila);
  LIST1.SetCol(0);
  LIST1.SetRowSel(fila);
  LIST1.SetColSel(c);
}

void Monitor::LIST1_SelChange() {
  TXTVALIDAR = LIST1.Text();
  numsel = DecimalText(LIST1.Row());
  int32_t row = 0;
  if (ParseInt32(numsel, &row)) LIST1.SetRowSel(row);
}

void Monitor::btnvalidar_Click() {
  if (TXTVALIDAR.empty()) return;
  if (Caja(txt::kValidarText, txt::kValidarCaption, plat::kMbYesNo) != plat::kIdYes) return;
  LIST1.SetCol(kColValidado);
  LIST1.SetText(txt::kSi);
  std::string why;
  if (!GUARDAR(&why))
    Caja(std::string(txt::kGuardarFallo) + txt::kDataFile + ": " + why, txt::kGuardarCaption,
         plat::kMbOk | plat::kMbIconStop);
  TXTVALIDAR.clear();
}

void Monitor::Command3_Click() {
  if (TXTVALIDAR.empty()) return;
  LIST1.SetCol(kColRuta);
  const std::string ruta = LIST1.Text();
  if (Caja(txt::kEliminarTextBefore + ruta + txt::kEliminarTextAfter, txt::kEliminarCaption,
           plat::kMbYesNo) != plat::kIdYes)
    return;
  LIST1.SetCol(kColNombre);
  std::string why;
  if (!eliminar(&why)) Caja(why, txt::kEliminarCaption, plat::kMbOk | plat::kMbIconStop);
  TXTVALIDAR.clear();
}
