// Drives the real program from another process, on the real registry and
// disk, with the entries hostile programs make: a value whose name begins with
// a NUL, one with 1.2 MB of data, names outside the code page, Startup files
// with a trailing dot or blank beside their namesakes. Each is listed under a
// readable name, validated by its exact name, and removed alone.
//   hostile_tool CENTINELA_EXE        exit code 0 when every check held
//   hostile_tool close                a bare WM_CLOSE to the main window, as End Task
#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>
#include <stdio.h>

#include <string>
#include <vector>

namespace {

typedef std::wstring W;
typedef LONG(WINAPI* NtValueFn)(HANDLE, const void*, ULONG, ULONG, const void*, ULONG);
const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
int g_failures = 0;

struct Counted {
  USHORT length, maximum;
  const wchar_t* buffer;
};

void Check(bool ok, const char* what, const W& name) {
  if (!ok) ++g_failures;
  printf("%s: %s (name of %u units)\n", ok ? "ok" : "FAIL", what, unsigned(name.size()));
}

HKEY Run() {
  HKEY k = 0;
  RegCreateKeyExW(HKEY_CURRENT_USER, kRun, 0, 0, 0, KEY_ALL_ACCESS, 0, &k, 0);
  return k;
}

// Names with a NUL go in and out by count only.
void SetValue(const W& name, const W& data) {
  NtValueFn set = reinterpret_cast<NtValueFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtSetValueKey")));
  HKEY k = Run();
  Counted c = {USHORT(name.size() * 2), USHORT(name.size() * 2), name.data()};
  set(k, &c, 0, REG_SZ, data.c_str(), ULONG((data.size() + 1) * 2));
  RegCloseKey(k);
}

W Startup() {
  wchar_t path[MAX_PATH] = {0};
  SHGetSpecialFolderPathW(0, path, CSIDL_STARTUP, TRUE);
  return path;
}

// The entries in the order the program lists them: the key's values, then
// the folder's files.
std::vector<W> Entries() {
  std::vector<W> all;
  HKEY k = Run();
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    DWORD n = 16384;
    if (RegEnumValueW(k, i, name, &n, 0, 0, 0, 0) != ERROR_SUCCESS) break;
    all.push_back(L"value " + W(name, n));
  }
  RegCloseKey(k);
  WIN32_FIND_DATAW f;
  HANDLE h = FindFirstFileW((Startup() + L"\\*.*").c_str(), &f);
  for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &f))
    if (!(f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) all.push_back(L"file " + W(f.cFileName));
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
  return all;
}

HWND WaitFor(const char* title) {
  for (int i = 0; i < 400; ++i) {
    HWND w = FindWindowA(0, title);
    if (w && IsWindowVisible(w)) return w;
    Sleep(50);
  }
  return 0;
}

// A click on the row's first cell (header and rows 14 pixels high at 96 dpi),
// and what the selection field then shows.
std::string SelectRow(HWND main, size_t row) {
  HWND grid = FindWindowExA(main, 0, "CentinelaGrid", 0);
  LPARAM at = MAKELPARAM(40, 2 + 14 * row + 7);
  SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(grid, WM_LBUTTONUP, 0, at);
  char text[256] = {0};
  // From another process only the message reaches an edit control's text.
  SendMessageA(FindWindowExA(main, 0, "EDIT", 0), WM_GETTEXT, sizeof text, LPARAM(text));
  return text;
}

// Presses a button of the main window and answers Yes to its question.
bool PressAndConfirm(HWND main, const char* button, const char* box) {
  PostMessageA(FindWindowExA(main, 0, "BUTTON", button), BM_CLICK, 0, 0);
  HWND question = WaitFor(box);
  if (!question) return false;
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  for (int i = 0; i < 200 && IsWindow(question); ++i) Sleep(50);
  Sleep(300);
  return !IsWindow(question);
}

size_t RowOf(const std::vector<W>& entries, const W& entry) {
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i] == entry) return i + 1;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  if (std::string(argv[1]) == "close")
    return PostMessageA(FindWindowA("CentinelaForm1", 0), WM_CLOSE, 0, 0) ? 0 : 1;
  const W nul(L"\0oculto", 7), big(L"grande"), ru(L"\x416\x443\x43a"), twin(L"\x414\x43e\x43c");
  SetValue(W(), L"c:\\real.exe");  // the key's default value, which must stay
  SetValue(nul, L"c:\\x.exe");
  SetValue(big, W(600 * 1024, L'g'));
  SetValue(ru, L"c:\\ru.exe");
  SetValue(twin, L"c:\\dom.exe");
  const wchar_t* files[] = {L"foo", L"foo.", L"bar", L"bar "};
  for (const wchar_t* f : files)
    CloseHandle(CreateFileW((L"\\\\?\\" + Startup() + L"\\" + f).c_str(), GENERIC_WRITE, 0, 0,
                            CREATE_ALWAYS, 0, 0));
  DeleteFileA("c:\\windows\\ximvar.dat");

  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessA(argv[1], 0, 0, 0, FALSE, 0, 0, 0, &si, &pi)) return 3;
  HWND alert = WaitFor("Centinela");
  Check(alert != 0, "the alert came", W());
  PostMessageA(alert, WM_COMMAND, IDOK, 0);
  HWND main = 0;
  for (int i = 0; i < 400 && !main; ++i, Sleep(50)) {
    main = FindWindowA("CentinelaForm1", 0);
    if (main && !IsWindowVisible(main)) main = 0;
  }
  Check(main != 0, "the main window came", W());

  struct Shown { W entry; const char* text; } shown[] = {
      {L"value " + nul, "\xa4oculto"}, {L"value " + big, "grande"}, {L"value " + ru, "???"},
      {L"file foo.", "foo."}, {L"file bar ", "bar "}};
  for (const Shown& s : shown) {
    const size_t row = RowOf(Entries(), s.entry);
    const std::string text = row > 0 ? SelectRow(main, row) : std::string();
    if (text != s.text) printf("  row %u shows [%s]\n", unsigned(row), text.c_str());
    Check(text == s.text, "listed under a readable name", s.entry);
  }

  // Validated by its exact name: a NUL and then its wide form in the record.
  const size_t row = RowOf(Entries(), L"value " + nul);
  SelectRow(main, row);
  Check(PressAndConfirm(main, "Marcar como v\xe1lido", "Validar..."), "validate asked", nul);
  char record[260] = {0};
  HANDLE dat = CreateFileA("c:\\windows\\ximvar.dat", GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, 0, OPEN_EXISTING, 0, 0);
  DWORD got = 0;
  SetFilePointer(dat, LONG((row - 1) * 260), 0, FILE_BEGIN);
  ReadFile(dat, record, 260, &got, 0);
  CloseHandle(dat);
  const std::string expected = std::string("\0W", 2) +
                               std::string(reinterpret_cast<const char*>(nul.data()), 14);
  Check(std::string(record + 60, 16) == expected, "the record names it exactly", nul);

  const W removed[] = {L"value " + nul, L"value " + big, L"value " + ru, L"file foo.", L"file bar "};
  for (const W& entry : removed) {
    std::vector<W> before = Entries();
    SelectRow(main, RowOf(before, entry));
    Check(PressAndConfirm(main, "Eliminar del inicio", "Eliminar..."), "removal asked", entry);
    Check(!FindWindowA(0, "Eliminar...") || !IsWindowVisible(FindWindowA(0, "Eliminar...")),
          "no failure box", entry);
    std::vector<W> after = Entries();
    for (size_t i = 0; i < before.size(); ++i)
      if (before[i] == entry) before.erase(before.begin() + long(i));
    Check(after == before, "exactly that entry is gone", entry);
  }
  TerminateProcess(pi.hProcess, 0);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  printf("%d failure(s)\n", g_failures);
  return g_failures == 0 ? 0 : 1;
}
