#include "core/monitor.h"

#include <stddef.h>
#include <string.h>

#include <utility>
#include <vector>

#include "core/errtext.h"
#include "core/exacto.h"
#include "core/regprocs.h"
#include "core/strutil.h"
#include "core/texts.h"
#include "platform/nocase.h"
#include "platform/registry.h"

static_assert(sizeof(EntradaValidada) == 260, "records are 260 bytes on disk");
static_assert(sizeof(EntradaValidada::Nombre) == sizeof(EntradaValidada::Ruta),
              "the index takes both fields at one width");

const int32_t kHklm = plat::kHkeyLocalMachine;
const int32_t kHkcu = plat::kHkeyCurrentUser;
const int32_t kHkcr = plat::kHkeyClassesRoot;

// The six places of old first, in their order; the others after them.
const Lugar kLugares[kNumLugares] = {
    {kHklm, txt::kRunKey, 0, 0, kVistasDos, kFilasValores, kQuitarValor},
    {kHklm, txt::kRunServicesKey, 0, 0, kVistasDos, kFilasValores, kQuitarValor},
    {kHkcu, txt::kRunKey, 0, 0, kVistaUna, kFilasValores, kQuitarValor},
    {kHkcu, txt::kRunServicesKey, 0, 0, kVistaUna, kFilasValores, kQuitarValor},
    {kHkcu, txt::kShellFoldersKey, txt::kStartupValue, 0, kVistaUna, kFilasCarpeta,
     kQuitarFichero},
    {kHkcr, txt::kOpenCommandKey, "", txt::kStandardOpenCommand, kVistaUna, kFilasOrdenExe,
     kQuitarEstandar},
    {kHklm, txt::kRunOnceKey, 0, 0, kVistasDos, kFilasValores, kQuitarValor},
    {kHkcu, txt::kRunOnceKey, 0, 0, kVistaUna, kFilasValores, kQuitarValor},
    {kHklm, txt::kPoliciesRunKey, 0, 0, kVistasCompartidas, kFilasValores, kQuitarValor},
    {kHkcu, txt::kPoliciesRunKey, 0, 0, kVistaUna, kFilasValores, kQuitarValor},
    {kHklm, txt::kShellFoldersKey, txt::kCommonStartupValue, 0, kVistaUna, kFilasCarpeta,
     kQuitarFichero},
    {kHkcr, txt::kClasesCom + txt::kClases, "", txt::kStandardOpenCommand, kVistaUna,
     kFilasNoEstandar, kQuitarEstandar},
    {kHkcr, txt::kClasesBat + txt::kClases, "", txt::kStandardOpenCommand, kVistaUna,
     kFilasNoEstandar, kQuitarEstandar},
    {kHkcr, txt::kClasesCmd + txt::kClases, "", txt::kStandardOpenCommand, kVistaUna,
     kFilasNoEstandar, kQuitarEstandar},
    {kHkcr, txt::kClasesPif + txt::kClases, "", txt::kStandardOpenCommand, kVistaUna,
     kFilasNoEstandar, kQuitarEstandar},
    {kHkcr, txt::kClasesScr + txt::kClases, "", txt::kStandardScrCommand, kVistaUna,
     kFilasNoEstandar, kQuitarEstandar},
    {kHkcu, txt::kClasesExe, "", 0, kVistaUna, kFilasPresente, kQuitarValor},
    {kHkcu, txt::kClasesCom, "", 0, kVistaUna, kFilasPresente, kQuitarValor},
    {kHkcu, txt::kClasesBat, "", 0, kVistaUna, kFilasPresente, kQuitarValor},
    {kHkcu, txt::kClasesCmd, "", 0, kVistaUna, kFilasPresente, kQuitarValor},
    {kHkcu, txt::kClasesPif, "", 0, kVistaUna, kFilasPresente, kQuitarValor},
    {kHkcu, txt::kClasesScr, "", 0, kVistaUna, kFilasPresente, kQuitarValor},
    {kHklm, txt::kWinlogonKey, txt::kShellValue, txt::kStandardShell, kVista64,
     kFilasNoEstandarSinCaso, kQuitarEstandar},
    {kHklm, txt::kWinlogonKey, txt::kUserinitValue, txt::kStandardUserinit, kVista64,
     kFilasNoEstandarSinCaso, kQuitarEstandar},
    {kHkcu, txt::kWinlogonKey, txt::kShellValue, 0, kVistaUna, kFilasPresente, kQuitarValor},
    {kHkcu, txt::kWindowsKey, txt::kLoadValue, 0, kVistaUna, kFilasNoVacio, kQuitarVaciar},
    {kHkcu, txt::kWindowsKey, txt::kRunValue, 0, kVistaUna, kFilasNoVacio, kQuitarVaciar},
    {kHklm, txt::kServicesKey, 0, 0, kVistaUna, kFilasServicios, kQuitarServicio},
    // A 32-bit program's debugger is read from the 32-bit view.
    {kHklm, txt::kIfeoKey, txt::kDebuggerValue, 0, kVistasDos, kFilasSubclaves, kQuitarValor},
    {kHklm, txt::kWindowsKey, txt::kAppInitValue, 0, kVistasDos, kFilasNoVacio, kQuitarVaciar},
    {kHklm, txt::kCommandProcessorKey, txt::kAutoRunValue, 0, kVistasDos, kFilasPresente,
     kQuitarValor},
    {kHkcu, txt::kCommandProcessorKey, txt::kAutoRunValue, 0, kVistaUna, kFilasPresente,
     kQuitarValor},
    {kHklm, txt::kActiveSetupKey, txt::kStubPathValue, 0, kVistasDos, kFilasSubclaves,
     kQuitarValor},
    {kHklm, txt::kSessionManagerKey, txt::kBootExecuteValue, txt::kStandardBootExecute, kVistaUna,
     kFilasNoEstandar, kQuitarEstandarMulti},
};

// The table names one key through one text: the same text, the same key.
bool MismaClave(const Lugar& a, const Lugar& b) {
  return a.root == b.root && a.vistas == b.vistas && a.key == b.key;
}

namespace {

const uint32_t kRecordLength = sizeof(EntradaValidada);
const int32_t kMinList2Records = 30;


// Pads with spaces or cuts, as a fixed-width field of the data file holds it.
void Rellenar(char* field, size_t width, const std::string& text) {
  size_t n = text.size() < width ? text.size() : width;
  memcpy(field, text.data(), n);
  memset(field + n, ' ', width - n);
}

// Where list2's columns lie in a record: name, command, location, key path.
const struct {
  uint16_t offset, width;
} kCampos[kList2Cols] = {{offsetof(EntradaValidada, Nombre), sizeof EntradaValidada::Nombre},
                         {offsetof(EntradaValidada, Ruta), sizeof EntradaValidada::Ruta},
                         {offsetof(EntradaValidada, Ubicacion), sizeof EntradaValidada::Ubicacion},
                         {offsetof(EntradaValidada, Subclave), sizeof EntradaValidada::Subclave}};

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

std::string Estandar(const Lugar& lugar) {
  const std::string estandar = lugar.estandar;
  return estandar[0] == '\\' ? plat::SystemFolder() + estandar : estandar;
}

// Whether a named value's text gives its place a row.
bool DaFila(const Lugar& lugar, const std::string& text) {
  if (lugar.filas == kFilasPresente) return true;
  if (lugar.filas == kFilasNoVacio) return !text.empty();
  const std::string estandar = Estandar(lugar);
  if (lugar.filas == kFilasNoEstandar) return text != estandar;
  return !plat::SameNoCase(text, estandar) &&
         !(estandar[estandar.size() - 1] == ',' && plat::SameNoCase(text + ',', estandar));
}

bool NombreDeFicheroSeguro(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("\\/:") == std::string::npos;
}

// What the data file's name field holds for a row: its exact name's key, or
// the name itself for the open command, which has no other.
std::string ClaveDeFila(const Grid& grid, int32_t row) {
  const std::string& exacto = grid.TextMatrix(row, kColExacto);
  return exacto.empty() ? grid.TextMatrix(row, kColNombre) : Exacto::DeCelda(exacto).Clave();
}

// The hidden columns and the name, which together tell one entry.
const int32_t kColsDeEntrada[] = {kColUbicacion, kColSubclave, kColVista, kColExacto, kColNombre};
const size_t kNumColsDeEntrada = sizeof kColsDeEntrada / sizeof kColsDeEntrada[0];

}  // namespace

Monitor::Monitor(plat::Desktop* desktop)
    : LIST1(kList1Cols), list2(kList2Cols), desktop_(desktop), cajasAbiertas_(0) {
  memset(&registro_, ' ', sizeof registro_);
}

bool Monitor::AbrirFichero(std::string* why) {
  why->clear();
  if (AbrirEn(txt::kDataFile, why)) return true;
  // Standard users of 2000 and XP, 64-bit programs and systems without
  // c:\windows cannot use the system folder; the user's own folder serves.
  // Asked only then: most starts need no registry read here.
  const std::string carpeta =
      ReadRegValue(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kAppDataValue);
  if (carpeta == txt::kNotFound || carpeta.empty()) return false;
  plat::CreateFolder(carpeta);
  *why += "\r\n";
  return AbrirEn(carpeta + txt::kDataFileName, why);
}

// Opens the data file at `ruta`; a failure adds its line to *why.
bool Monitor::AbrirEn(const std::string& ruta, std::string* why) {
  ruta_ = ruta;
  uint32_t error = 0;
  if (fichero_.Open(ruta_, kRecordLength, &error)) return true;
  *why += txt::kFicheroFallo + ruta_ + ": " + SystemErrorText(error);
  return false;
}

int Monitor::Caja(const std::string& text, const char* caption, unsigned type) {
  ++cajasAbiertas_;
  int answer = desktop_->MessageBoxA(text, caption, type);
  --cajasAbiertas_;
  return answer;
}

void Monitor::llegirdelregistre() {
  // A view hears of the rebuild once, and not at all when it changed nothing.
  const bool redraw = LIST1.Redraw();
  LIST1.SetRedraw(false);
  Vaciar(&LIST1);
  LIST1.AddItem(Cabecera(), 0);

  // One read of the data file serves every lookup of this scan.
  llegirdelfitxer();
  vigilancia.Empezar();
  int32_t entradas = 0;
  std::vector<std::string> cells(kList1Cols);

  const bool dosVistas = plat::RegHasTwoViews();
  // Consecutive places of one key read it through one open.
  RegKey abierta64, abierta32;
  const Lugar* abierto = 0;
  for (int p = 0; p < kNumLugares; ++p) {
    const Lugar& lugar = kLugares[p];
    for (size_t c = 0; c < cells.size(); ++c) cells[c].clear();
    if (lugar.filas == kFilasCarpeta) {
      vigilancia.Clave(lugar.root, lugar.key, kRegViewDefault, false);
      const std::string carpeta = ReadRegValue(lugar.root, lugar.key, lugar.valor);
      if (carpeta == txt::kNotFound) continue;
      vigilancia.Carpeta(carpeta);
      // On NT the folder and its files by their exact names; on 9x the ANSI
      // names are exact.
      std::vector<std::string> names;
      std::string carpetaW;
      const bool wide = ReadRegWide(lugar.root, lugar.key, lugar.valor, &carpetaW) &&
                        plat::ListOrdinaryFilesW(carpetaW, &names);
      if (!wide) plat::ListOrdinaryFiles(carpeta + txt::kAllFiles, &names);
      for (size_t i = 0; i < names.size(); ++i) {
        const Exacto exacto = wide ? Exacto::DeWide(names[i]) : Exacto::DeAnsi(names[i]);
        cells[kColNombre] = cells[kColRuta] = exacto.Visible();
        cells[kColUbicacion] = carpeta;
        AnadirEntrada(&entradas, &cells, &exacto);
      }
      continue;
    }
    cells[kColUbicacion] = DecimalText(lugar.root);
    if (lugar.filas == kFilasOrdenExe) {
      vigilancia.Clave(lugar.root, lugar.key, kRegViewDefault, false);
      const std::string orden = ReadRegValue(lugar.root, lugar.key, "");
      if ((orden.size() > 1 ? orden.substr(1, 2) : std::string()) == "%1") continue;
      cells[kColNombre] = cells[kColRuta] = orden;
      AnadirEntrada(&entradas, &cells, 0);
      continue;
    }
    cells[kColSubclave] = lugar.key;
    // Places of subkeys are NT's: Windows 9x has no service manager (its
    // services are RunServices') and no debugger settings.
    if (VigilarSubarbol(lugar) && !plat::HasWideNames()) continue;
    const bool porVistas = dosVistas && lugar.vistas != kVistaUna;
    const RegView vistas[2] = {porVistas ? kRegView64 : kRegViewDefault, kRegView32};
    const int32_t desde = entradas;
    const bool misma = abierto && MismaClave(*abierto, lugar);
    abierto = &lugar;
    for (int v = 0; v < (porVistas && lugar.vistas != kVista64 ? 2 : 1); ++v) {
      RegKey& key = v ? abierta32 : abierta64;
      if (!misma) vigilancia.Clave(lugar.root, lugar.key, vistas[v], VigilarSubarbol(lugar));
      // A key that is not there costs its one failed open.
      if (!(misma ? key.IsOpen() : key.Open(lugar.root, lugar.key, vistas[v]))) continue;
      cells[kColVista] = !porVistas ? "" : (v == 0 ? txt::kView64 : txt::kView32);
      if (VigilarSubarbol(lugar)) {
        AnadirSubclaves(lugar, key, vistas[v], &entradas, &cells);
        continue;
      }
      if (lugar.valor) {
        // A named value by its name, which ANSI gives exactly; an open
        // command's row is named by the command.
        std::string text;
        if (!ReadRegValueAt(key, lugar.valor, &text) || !DaFila(lugar, text)) continue;
        cells[kColNombre] = *lugar.valor ? std::string(lugar.valor) : text;
        cells[kColRuta] = text;
        AnadirEntrada(&entradas, &cells, 0);
        continue;
      }
      ValueReader reader(key, kRegNameCharsMax, kRegDataBytesMax);
      if (v == 1 && lugar.vistas == kVistasCompartidas && MismosValores(&reader, desde, entradas))
        continue;
      for (uint32_t i = 0;; ++i) {
        EnumStatus status;
        RegEnumResult value = reader.Read(i, &status);
        if (status == kEnumNoMore) break;
        cells[kColNombre] = value.name;
        cells[kColRuta] = status == kEnumOk ? value.data : std::string(txt::kNotFound);
        AnadirEntrada(&entradas, &cells, &value.exact);
      }
    }
  }

  LIST1.SetFixedRows(1);
  LIST1.SetColWidth(kColUbicacion, 0);
  LIST1.SetColWidth(kColSubclave, 0);
  LIST1.SetColWidth(kColNombre, 2400);
  LIST1.SetColWidth(kColRuta, 4000);
  LIST1.SetColWidth(kColValidado, 600);
  LIST1.SetColWidth(kColVista, 0);
  LIST1.SetColWidth(kColExacto, 0);
  LIST1.SetRows(LIST1.Rows() - 1);
  LIST1.SetRedraw(redraw);
}

void Monitor::llegirdelfitxer() {
  // Bounded whatever the file's size: a file of gigabytes costs at most
  // kMaxRegistros reads and rows.
  int32_t total = kMinList2Records;
  const uint32_t count = fichero_.IsOpen() ? fichero_.RecordCount() : 0;
  if (count > static_cast<uint32_t>(total))
    total = count > static_cast<uint32_t>(kMaxRegistros) ? kMaxRegistros
                                                          : static_cast<int32_t>(count);
  // All records in one read: one system call, not one per record. The read
  // zero-fills what the file lacks.
  std::string& bytes = lectura_;
  bytes.resize(static_cast<size_t>(total) * kRecordLength);
  const bool leido =
      fichero_.IsOpen() && fichero_.ReadRecord(1, &bytes[0], static_cast<uint32_t>(total));
  // The list is made from these bytes alone: when they read as at the last
  // load, the list and its index stand.
  if (leido && bytes == cargado_) return;
  if (leido)
    cargado_ = bytes;
  else
    cargado_.clear();
  Vaciar(&list2);
  list2.AddItem(Cabecera(), 0);
  std::vector<std::string> cells(kList2Cols);
  for (int32_t n = 1; n <= total; ++n) {
    const char* buffer = &bytes[static_cast<size_t>(n - 1) * kRecordLength];
    // A record never written (past the end, or a gap of zeros) stays an
    // empty row, which no name matches.
    const bool vacio = !leido || TodoCeros(buffer, kRecordLength);
    for (int c = 0; c < kList2Cols; ++c)
      cells[c].assign(buffer + kCampos[c].offset, vacio ? 0 : kCampos[c].width);
    list2.InsertRowCells(n, cells);
  }

  list2.SetFixedRows(1);
  list2.SetColWidth(3, 0);
  list2.SetColWidth(0, 2700);
  list2.SetColWidth(1, 4000);
  list2.SetColWidth(2, 0);
  list2.SetRows(list2.Rows() - 1);
  validados_.Construir(list2, 0, 1, sizeof registro_.Nombre);
}

bool Monitor::GUARDAR(std::string* why) {
  bool ok = true;
  const int32_t n = LIST1.Rows() - 1;
  for (int32_t i = 1; i <= n; ++i) {
    if (LIST1.TextMatrix(i, kColValidado) != txt::kSi) continue;
    Rellenar(registro_.Nombre, sizeof registro_.Nombre, ClaveDeFila(LIST1, i));
    Rellenar(registro_.Ruta, sizeof registro_.Ruta, LIST1.TextMatrix(i, kColRuta));
    Rellenar(registro_.Ubicacion, sizeof registro_.Ubicacion, LIST1.TextMatrix(i, kColUbicacion));
    Rellenar(registro_.Subclave, sizeof registro_.Subclave, LIST1.TextMatrix(i, kColSubclave));
    uint32_t error = 0;
    if (!fichero_.WriteRecord(static_cast<uint32_t>(i), reinterpret_cast<char*>(&registro_), &error)) {
      *why = SystemErrorText(error);
      ok = false;
      break;
    }
  }
  // Rescan even after a failed write, so the table shows what the file holds.
  llegirdelregistre();
  return ok;
}

std::string Monitor::VALIDAR_CLAVE(const std::string& CLAVE, const std::string& RUTA) {
  llegirdelfitxer();
  return Coincide(CLAVE, RUTA) ? txt::kSi : txt::kNo;
}

// Rows are filled cell by cell so that a tab inside a name stays in its cell;
// each goes just above the trailing empty row, in the order found.
void Monitor::AnadirEntrada(int32_t* entradas, std::vector<std::string>* cells,
                            const Exacto* exacto) {
  if (exacto) (*cells)[kColExacto] = exacto->Celda();
  const bool si = Coincide(exacto ? exacto->Clave() : (*cells)[kColNombre], (*cells)[kColRuta]);
  (*cells)[kColValidado] = si ? txt::kSi : txt::kNo;
  LIST1.InsertRowCells(1 + *entradas, *cells);
  ++*entradas;
}

void Monitor::AnadirSubclaves(const Lugar& lugar, const RegKey& key, RegView vista,
                              int32_t* entradas, std::vector<std::string>* cells) {
  std::vector<std::string>& c = *cells;
  std::string dll;
  Exacto exacto;
  for (uint32_t i = 0; key.SubkeyAt(i, &exacto); ++i) {
    RegKey sub, parametros;
    std::string& text = c[kColRuta];
    text.clear();
    if (!sub.OpenBelow(key, exacto, vista)) continue;
    if (lugar.filas == kFilasServicios) {
      // Own or shared process, not a per-logon instance; automatic start.
      const uint32_t tipo = ReadRegDword(sub, txt::kTypeValue);
      if (!(tipo & 0x30) || (tipo & 0x80) || ReadRegDword(sub, txt::kStartValue) != 2) continue;
      ReadRegValueAt(sub, txt::kImagePathValue, &text);
      // The DLL a shared process loads is what starts: a swapped one is new.
      if ((tipo & 0x20) && parametros.OpenBelow(sub, Exacto::DeAnsi(txt::kParametersKey), vista) &&
          ReadRegValueAt(parametros, txt::kServiceDllValue, &dll))
        text.append(1, ' ').append(dll);
    } else if (!ReadRegValueAt(sub, lugar.valor, &text)) {
      continue;
    }
    c[kColNombre] = exacto.Visible();
    c[kColSubclave].assign(lugar.key).append(1, '\\').append(c[kColNombre]);
    AnadirEntrada(entradas, cells, &exacto);
  }
}

// An entry is validated when a record holds both its name and its command as
// a save would store them: a trusted name that now starts something else is
// new again.
bool Monitor::Coincide(const std::string& clave, const std::string& ruta) const {
  char nombre[sizeof registro_.Nombre];
  char orden[sizeof registro_.Ruta];
  Rellenar(nombre, sizeof nombre, clave);
  Rellenar(orden, sizeof orden, ruta);
  return validados_.Contiene(nombre, orden);
}

std::vector<std::string> Monitor::EntradaDeFila(int32_t row) const {
  std::vector<std::string> entrada(kNumColsDeEntrada);
  for (size_t c = 0; c < kNumColsDeEntrada; ++c) entrada[c] = LIST1.TextMatrix(row, kColsDeEntrada[c]);
  return entrada;
}

int32_t Monitor::FilaDeEntrada(const std::vector<std::string>& entrada) const {
  for (int32_t i = 1; i < LIST1.Rows(); ++i) {
    size_t c = 0;
    while (c < kNumColsDeEntrada && LIST1.TextMatrix(i, kColsDeEntrada[c]) == entrada[c]) ++c;
    if (c == kNumColsDeEntrada) return i;
  }
  return -1;
}

// Deletes exactly the listed file of the folder the registry names now: on NT
// by its wide name through a path the system does not normalise; on 9x by
// its ANSI name, unless the system would take that name for another file.
bool Monitor::QuitarFichero(const Lugar& lugar, const std::string& carpeta,
                            const std::string& nombre, const Exacto& exacto,
                            std::string* why) {
  if (!NombreDeFicheroSeguro(nombre) || !NombreDeFicheroSeguro(exacto.Visible())) {
    *why = txt::kNoEliminadoNombre;
    return false;
  }
  std::string carpetaW, nombreW, ansi;
  uint32_t error = 0;
  bool ok;
  if (plat::HasWideNames()) {
    if (!ReadRegWide(lugar.root, lugar.key, lugar.valor, &carpetaW) ||
        !exacto.Wide(&nombreW)) {
      *why = txt::kNoEliminadoExacto;
      return false;
    }
    ok = plat::DeleteFileW(carpetaW, nombreW, &error);
  } else {
    const char last = nombre[nombre.size() - 1];
    if (!exacto.Ansi(&ansi) || last == '.' || last == ' ') {
      *why = txt::kNoEliminadoExacto;
      return false;
    }
    ok = plat::DeleteFileA(carpeta + "\\" + ansi, &error);
  }
  if (!ok) *why = txt::kNoEliminadoFichero + SystemErrorText(error);
  return ok;
}

bool Monitor::MismosValores(ValueReader* reader, int32_t desde, int32_t hasta) const {
  for (int32_t row = desde + 1;; ++row) {
    EnumStatus status;
    const RegEnumResult value = reader->Read(static_cast<uint32_t>(row - desde - 1), &status);
    if (status == kEnumNoMore) return row == hasta + 1;
    if (row > hasta || LIST1.TextMatrix(row, kColExacto) != value.exact.Celda() ||
        LIST1.TextMatrix(row, kColRuta) != (status == kEnumOk ? value.data : txt::kNotFound))
      return false;
  }
}

int Monitor::LugarDeFila(int32_t row) const {
  const std::string& ubicacion = LIST1.TextMatrix(row, kColUbicacion);
  const std::string& subclave = LIST1.TextMatrix(row, kColSubclave);
  const std::string& nombre = LIST1.TextMatrix(row, kColNombre);
  for (int p = 0; p < kNumLugares; ++p) {
    const Lugar& l = kLugares[p];
    if (l.filas == kFilasCarpeta) {
      // The folder the registry names now: a file is deleted only from there.
      const std::string carpeta = ReadRegValue(l.root, l.key, l.valor);
      if (carpeta != txt::kNotFound && ubicacion == carpeta) return p;
    } else if (ubicacion == DecimalText(l.root) &&
               // A place of subkeys: its key, then the row's.
               (VigilarSubarbol(l) ? subclave == l.key + ('\\' + nombre)
                                : subclave == (l.filas == kFilasOrdenExe ? "" : l.key) &&
                                      (!l.valor || !*l.valor || nombre == l.valor))) {
      return p;
    }
  }
  return -1;
}

bool Monitor::eliminar(std::string* why) {
  const int32_t row = LIST1.Row();
  if (row < 1 || row >= LIST1.Rows()) return true;
  const std::vector<std::string> entrada = EntradaDeFila(row);
  const std::string ubicacion = LIST1.TextMatrix(row, kColUbicacion);
  const std::string nombre = LIST1.TextMatrix(row, kColNombre);
  const RegView vista = VistaDeTexto(LIST1.TextMatrix(row, kColVista));
  const std::string& guardado = LIST1.TextMatrix(row, kColExacto);
  const int p = LugarDeFila(row);
  LIST1.SetCol(kColNombre);

  bool quizaSigue = false;
  std::string razon;
  if (p < 0) {
    // The Startup folder setting changed since the scan: nothing is known to
    // be safe to delete.
    razon = txt::kNoEliminadoCarpeta;
  } else {
    const Lugar& l = kLugares[p];
    const Exacto exacto = guardado.empty() ? Exacto::DeAnsi(nombre) : Exacto::DeCelda(guardado);
    if (l.quitar == kQuitarFichero) {
      QuitarFichero(l, ubicacion, nombre, exacto, &razon);
    } else if (l.quitar == kQuitarServicio) {
      // Never deleted nor stopped: the manager starts it on demand only.
      // Services are listed only where names are wide. A refusal reads
      // "Acceso denegado", as a file's.
      const std::string wide = exacto.WideCero();
      plat::DWORD error = 0;
      if (!plat::ServiceDemandStart(reinterpret_cast<const plat::WCHAR*>(wide.data()), &error))
        razon = txt::kNoEliminadoFichero + SystemErrorText(error);
    } else if (l.quitar == kQuitarValor) {
      // A named value is named by its place, below the row's subkey for a
      // place of subkeys. A name no function can give exactly is left
      // alone: any other name would be another value's.
      RegKey key, sub;
      plat::LONG abierta;
      const plat::REGSAM acceso = plat::kKeySetValue | plat::kKeyQueryValue;
      key.Open(l.root, l.key, vista, acceso, &abierta);
      if (VigilarSubarbol(l) && key.IsOpen()) sub.OpenBelow(key, exacto, vista, acceso, &abierta);
      if (!DeleteRegValueExact(VigilarSubarbol(l) ? sub : key, abierta,
                               l.valor ? Exacto::DeAnsi(l.valor) : exacto, &quizaSigue))
        razon = txt::kNoEliminadoExacto;
    } else {
      std::string texto = l.quitar == kQuitarVaciar ? std::string() : Estandar(l);
      if (l.quitar == kQuitarEstandarMulti) texto.push_back('\0');
      WriteRegValue(l.root, l.key, l.valor, plat::kRegSz, texto, vista);
    }
  }
  llegirdelregistre();
  if (razon.empty() && (quizaSigue || FilaDeEntrada(entrada) > 0)) razon = txt::kNoEliminadoSigue;
  if (razon.empty()) return true;
  *why = txt::kNoEliminadoBefore + nombre + razon;
  return false;
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
    // The table behind the alert is the one just read.
    LIST1.SetRedraw(true);
    Caja(txt::kAlertText, txt::kAlertCaption, plat::kMbOk | plat::kMbIconStop);
    desktop_->ShowWindow();
  }
}

void Monitor::Timer1_Timer() {
  // A box of ours is open: the user is answering about the table as it is.
  if (CajaAbierta()) return;
  const int32_t r = LIST1.Row();
  const int32_t s = LIST1.RowSel();
  const int32_t c = LIST1.ColSel();
  const bool esEntrada = r >= 1 && r < LIST1.Rows();
  const std::vector<std::string> entrada = EntradaDeFila(r);
  const std::vector<std::string> otra = s != r ? EntradaDeFila(s) : std::vector<std::string>();

  // Scan, check and the selection put back reach the view as one change, or
  // as none when the table reads as it did.
  LIST1.SetRedraw(false);
  llegirdelregistre();
  comprobar();

  // The selection follows its entries; when the current one is gone, no
  // action may fall on whatever took its row. A range whose other end went
  // comes back as the current row alone.
  int32_t fila = esEntrada ? FilaDeEntrada(entrada) : r;
  const int32_t hasta = fila >= 0 && s != r ? FilaDeEntrada(otra) : -1;
  if (fila < 0) {
    fila = r;
    TXTVALIDAR.clear();
  }
  if (fila > LIST1.Rows() - 1) fila = LIST1.Rows() - 1;
  if (fila < 0) fila = 0;
  LIST1.SetRow(fila);
  LIST1.SetCol(0);
  LIST1.SetRowSel(hasta < 0 ? fila : hasta);
  LIST1.SetColSel(c);
  LIST1.SetRedraw(true);
}

void Monitor::LIST1_SelChange() {
  // The range stays as the user made it: the field shows the current cell.
  TXTVALIDAR = LIST1.Text();
}

void Monitor::btnvalidar_Click() {
  if (TXTVALIDAR.empty()) return;
  int32_t desde = LIST1.Row(), hasta = LIST1.RowSel();
  if (desde > hasta) std::swap(desde, hasta);
  if (desde < 1) desde = 1;
  const int32_t n = hasta - desde + 1;
  std::string pregunta;
  if (n > 1) {
    pregunta = txt::kValidarVariosBefore;
    pregunta += DecimalText(n);
    pregunta += txt::kValidarVariosAfter;
  }
  if (Caja(pregunta += txt::kValidarText, txt::kValidarCaption, plat::kMbYesNo) != plat::kIdYes)
    return;
  Validar(desde, hasta);
  TXTVALIDAR.clear();
}

void Monitor::Validar(int32_t desde, int32_t hasta) {
  for (int32_t i = desde; i <= hasta; ++i) {
    LIST1.SetRow(i);
    LIST1.SetCol(kColValidado);
    LIST1.SetText(txt::kSi);
  }
  std::string why;
  if (!GUARDAR(&why))
    Caja(txt::kGuardarFallo + ruta_ + ": " + why, txt::kGuardarCaption,
         plat::kMbOk | plat::kMbIconStop);
}

void Monitor::Command3_Click() {
  if (TXTVALIDAR.empty()) return;
  // One entry at a time: a removal cannot be undone.
  if (LIST1.RowSel() != LIST1.Row()) {
    Caja(txt::kEliminarVarios, txt::kEliminarCaption, plat::kMbOk);
    return;
  }
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
