// Drives the real program from another process, on the real registry and
// disk, with the entries hostile programs make: a value whose name begins with
// a NUL, one with 1.2 MB of data, names outside the code page, Startup files
// with a trailing dot or blank beside their namesakes. Each is listed under a
// readable name, validated by its exact name, and removed alone.
//   hostile_tool make    makes the entries, before the program starts, in
//                        HKCU's Run key and C:\hostile\Startup (which
//                        hostile.sh makes the Startup folder)
//   hostile_tool check   checks the running program; prints the row it
//                        validated ("validated row N") for the record's check
//   hostile_tool close   a bare WM_CLOSE to the main window, as End Task
//   hostile_tool field   prints what the selection field shows
// Exit code 0 when every check held.
#include <windows.h>
// After windows.h, which they need.
#include <stdio.h>
#include <winternl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tool.h"

extern "C" NTSTATUS NTAPI NtSetValueKey(HANDLE, PUNICODE_STRING, ULONG, ULONG, PVOID, ULONG);

namespace {

typedef std::wstring W;
const wchar_t kStartup[] = L"C:\\hostile\\Startup\\";
int g_failures = 0;

void Check(bool ok, const char* what, const W& name) {
  g_failures += !ok;
  printf("%s: %s (name of %u units)\n", ok ? "ok" : "FAIL", what, unsigned(name.size()));
}

HKEY Run() {
  return tool::OpenKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0);
}

// Names with a NUL go in and out by count only.
void SetValue(const W& name, const W& data) {
  HKEY k = Run();
  UNICODE_STRING c = {USHORT(name.size() * 2), USHORT(name.size() * 2),
                      const_cast<PWSTR>(name.data())};
  NtSetValueKey(k, &c, 0, REG_SZ, const_cast<wchar_t*>(data.c_str()), ULONG(data.size() * 2 + 2));
  RegCloseKey(k);
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
  HANDLE h = FindFirstFileW((W(kStartup) + L"*.*").c_str(), &f);
  for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &f))
    if (!(f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) all.push_back(L"file " + W(f.cFileName));
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
  return all;
}

// From another process only the message reaches an edit control's text.
std::string Field(HWND main) {
  char text[256] = {0};
  SendMessageA(FindWindowExA(main, 0, "EDIT", 0), WM_GETTEXT, sizeof text, LPARAM(text));
  return text;
}

// A click on the entry's row (header and rows 14 pixels high at 96 dpi): its
// number, 1-based as the table's rows, and what the selection field then shows.
std::string Select(HWND main, const std::vector<W>& entries, const W& entry, size_t* row) {
  const size_t i = size_t(std::find(entries.begin(), entries.end(), entry) - entries.begin());
  *row = i < entries.size() ? i + 1 : 0;
  if (*row == 0) return "(not listed)";
  HWND grid = FindWindowExA(main, 0, "CentinelaGrid", 0);
  LPARAM at = MAKELPARAM(40, 2 + 14 * *row + 7);
  SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(grid, WM_LBUTTONUP, 0, at);
  return Field(main);
}

// Presses a button of the main window and answers Yes to its question.
bool PressAndConfirm(HWND main, const char* button, const char* box) {
  PostMessageA(FindWindowExA(main, 0, "BUTTON", button), BM_CLICK, 0, 0);
  HWND question = tool::WaitShown(0, box, 20000);
  if (!question) return false;
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  for (int i = 0; i < 200 && IsWindow(question); ++i) Sleep(50);
  Sleep(300);
  return !IsWindow(question);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 2 ? argv[1] : "";
  if (mode == "close")
    return PostMessageA(FindWindowA(tool::kMainClass, 0), WM_CLOSE, 0, 0) ? 0 : 1;
  if (mode == "field") return puts(Field(FindWindowA(tool::kMainClass, 0)).c_str()) < 0;
  const W nul(L"\0oculto", 7), big(L"grande"), ru(L"\x416\x443\x43a"), twin(L"\x414\x43e\x43c");
  if (mode == "make") {
    SetValue(W(), L"c:\\real.exe");  // the key's default value, which must stay
    SetValue(nul, L"c:\\x.exe");
    SetValue(big, W(600 * 1024, L'g'));
    SetValue(ru, L"c:\\ru.exe");
    SetValue(twin, L"c:\\dom.exe");
    for (const wchar_t* f : {L"foo", L"foo.", L"bar", L"bar "})
      CloseHandle(CreateFileW((L"\\\\?\\" + (kStartup + W(f))).c_str(), GENERIC_WRITE, 0, 0,
                              CREATE_ALWAYS, 0, 0));
    return 0;
  }
  if (mode != "check") return 2;
  HWND alert = tool::WaitShown(0, "Centinela", 20000);
  Check(alert != 0, "the alert came", W());
  PostMessageA(alert, WM_COMMAND, IDOK, 0);
  HWND main = tool::WaitShown(tool::kMainClass, 0, 20000);
  Check(main != 0, "the main window came", W());

  // Validated by its exact name: hostile.sh reads the record.
  size_t row = 0;
  Select(main, Entries(), L"value " + nul, &row);
  Check(PressAndConfirm(main, "&Marcar como v\xe1lido", "Validar..."), "validate asked", nul);
  printf("validated row %u\n", unsigned(row));

  // Each is listed under a readable name, then removed alone.
  const std::pair<W, const char*> hostile[] = {{L"value " + nul, "\xa4oculto"},
                                               {L"value " + big, "grande"},
                                               {L"value " + ru, "???"},
                                               {L"file foo.", "foo."},
                                               {L"file bar ", "bar "}};
  for (const auto& h : hostile) {
    std::vector<W> before = Entries();
    const std::string text = Select(main, before, h.first, &row);
    if (text != h.second) printf("  row %u shows [%s]\n", unsigned(row), text.c_str());
    Check(text == h.second, "listed under a readable name", h.first);
    Check(PressAndConfirm(main, "&Eliminar del inicio", "Eliminar..."), "removal asked", h.first);
    HWND failure = FindWindowA(0, "Eliminar...");
    Check(!failure || !IsWindowVisible(failure), "no failure box", h.first);
    before.erase(std::remove(before.begin(), before.end(), h.first), before.end());
    Check(Entries() == before, "exactly that entry is gone", h.first);
  }
  printf("%d failure(s)\n", g_failures);
  return g_failures == 0 ? 0 : 1;
}
