// What the test scripts cannot do with xdotool or wine reg, done from another
// process next to the running program under Wine (one tool for e2e.sh,
// hostile.sh, access.sh and the soak's soak.sh):
//   post MSG WPARAM  posts the main window a message: End Task's bare
//                    WM_CLOSE (16 0), the session's end (22 1)
//   field            prints what the selection field shows (CP1252)
//   make             makes what wine reg cannot, before the program starts:
//                    in HKCU's Run key a value whose name begins with a NUL
//                    and one of 1.2 MB; in C:\hostile\Startup files with a
//                    trailing dot or blank beside their namesakes
//   entries          prints those places' entries by exact name, in the order
//                    the program lists them (UTF-8, a NUL as U+2400)
//   names            prints the grid as a screen reader reads it from another
//                    process: "role=R children=N", then each child's name,
//                    then "selected:" and the numbers of the selected ones
//   probe TICKS SECONDS
//       (the soak build) once Timer1 has scanned TICKS times (a failure after
//       SECONDS), prints the program's ticks, window state, handles, memory
//       and GDI/USER objects, one line; fails unless the handle count is real
//   change SEED TICKS SECONDS shown|hidden
//       (the soak build) adds and removes Run values and Startup files until
//       the program has scanned TICKS more times (a failure after SECONDS).
//       Hidden: the window is closed (hidden) and each alert answered and the
//       window closed again, as a user would; at the end the window is left
//       shown with no box
//   dump             (the soak build) has it write its table (hooks.h)
//   logon NAME       starts the command of that value of the user's Run key
//                    as Windows does at logon (Wine 8 does not); prints it
// Exit code 0 on success, 1 on a failure (said on stderr), 2 on misuse.
#include <windows.h>
// After windows.h, which they need.
#include <oleacc.h>
#include <psapi.h>
#include <stdio.h>
#include <winternl.h>

#include <random>
#include <string>

#include "tests/soak/hooks.h"

extern "C" NTSTATUS NTAPI NtSetValueKey(HANDLE, PUNICODE_STRING, ULONG, ULONG, PVOID, ULONG);

typedef std::wstring W;
const wchar_t kHostileStartup[] = L"C:\\hostile\\Startup\\";
#define RUN "Software\\Microsoft\\Windows\\CurrentVersion\\Run"

int Fail(const char* what) {
  fprintf(stderr, "drive_tool: %s (error %lu)\n", what, GetLastError());
  return 1;
}

HWND Main() { return FindWindowA("CentinelaForm1", 0); }

// The key, made when missing; `view` is 0 where the key has one view only.
HKEY OpenKey(HKEY root, const char* key, REGSAM view) {
  HKEY k = 0;
  RegCreateKeyExA(root, key, 0, 0, 0, KEY_ALL_ACCESS | view, 0, &k, 0);
  return k;
}

// Names with a NUL go in by count only.
void SetHostileValue(const W& name, const W& data) {
  HKEY k = OpenKey(HKEY_CURRENT_USER, RUN, 0);
  UNICODE_STRING c = {USHORT(name.size() * 2), USHORT(name.size() * 2),
                      const_cast<PWSTR>(name.data())};
  NtSetValueKey(k, &c, 0, REG_SZ, const_cast<wchar_t*>(data.c_str()), ULONG(data.size() * 2 + 2));
  RegCloseKey(k);
}

void PrintEntry(W entry) {
  char text[65536];
  for (wchar_t& c : entry) c = c ? c : L'\x2400';
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, entry.data(), int(entry.size()), text, sizeof text, 0, 0);
  printf("%.*s\n", n, text);
}

int Entries() {
  HKEY k = OpenKey(HKEY_CURRENT_USER, RUN, 0);
  wchar_t name[16384];
  for (DWORD i = 0, n = 16384; RegEnumValueW(k, i, name, &n, 0, 0, 0, 0) == 0; ++i, n = 16384)
    PrintEntry(L"value " + W(name, n));
  RegCloseKey(k);
  WIN32_FIND_DATAW f;
  HANDLE h = FindFirstFileW((W(kHostileStartup) + L"*.*").c_str(), &f);
  for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &f))
    if (!(f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) PrintEntry(L"file " + W(f.cFileName));
  return h == INVALID_HANDLE_VALUE || !FindClose(h);
}

int Make() {
  SetHostileValue(W(L"\0oculto", 7), L"c:\\x.exe");
  SetHostileValue(L"grande", W(600 * 1024, L'g'));
  for (const wchar_t* f : {L"foo", L"foo.", L"bar", L"bar "})
    CloseHandle(CreateFileW((L"\\\\?\\" + (kHostileStartup + W(f))).c_str(), GENERIC_WRITE, 0, 0,
                            CREATE_ALWAYS, 0, 0));
  return 0;
}

int Names() {
  // mingw-w64's IID_IAccessible is not the GUID.
  const GUID iid = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
  CoInitialize(0);
  IAccessible* list = 0;
  AccessibleObjectFromWindow(FindWindowExA(Main(), 0, "CentinelaGrid", 0), OBJID_CLIENT, iid,
                             (void**)&list);
  if (!list) return Fail("no accessible object for the grid");
  VARIANT child = {}, role = {};
  child.vt = VT_I4;
  long count = -1;
  list->get_accRole(child, &role);
  list->get_accChildCount(&count);
  printf("role=%ld children=%ld\n", role.lVal, count);
  std::string selected;
  for (child.lVal = 1; child.lVal <= count; ++child.lVal) {
    BSTR name = 0;
    list->get_accName(child, &name);
    PrintEntry(name ? name : L"");
    SysFreeString(name);
    VARIANT state = {};
    if (list->get_accState(child, &state) == S_OK && (state.lVal & STATE_SYSTEM_SELECTED))
      selected += " " + std::to_string(child.lVal);
  }
  printf("selected:%s\n", selected.c_str());
  list->Release();
  return 0;
}

// The soak build's answer (hooks.h); -1 when none came.
long Ask(WPARAM what) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(Main(), soak::kTicksMessage, what, 0, SMTO_ABORTIFHUNG, 10000, &answer))
    return -1;
  return long(answer);
}

// The process's handles, counted in the system's list of every process's
// handles: Wine 8 answers GetProcessHandleCount with 0, but that list is exact.
DWORD HandleCount(DWORD pid) {
  std::string buffer(1 << 26, '\0');
  SYSTEM_HANDLE_INFORMATION* list = reinterpret_cast<SYSTEM_HANDLE_INFORMATION*>(&buffer[0]);
  DWORD handles = 0;
  if (NtQuerySystemInformation(SystemHandleInformation, list, buffer.size(), 0) == 0)
    for (ULONG i = 0; i < list->Count; ++i) handles += list->Handle[i].OwnerPid == pid;
  return handles;
}

int Probe(long wanted, DWORD seconds) {
  long ticks;
  for (const DWORD start = GetTickCount(); (ticks = Ask(0)) < wanted; Sleep(50))
    if (GetTickCount() - start >= seconds * 1000) return Fail("too few ticks in the time given");
  DWORD pid = 0;
  GetWindowThreadProcessId(Main(), &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  PROCESS_MEMORY_COUNTERS memory;
  if (!process || !GetProcessMemoryInfo(process, &memory, sizeof memory))
    return Fail("no memory figures for the program");
  const DWORD handles = HandleCount(pid);
  printf("ticks=%ld visible=%d box=%d handles=%lu private=%lu gdi=%lu user=%lu\n", ticks,
         IsWindowVisible(Main()) ? 1 : 0, FindWindowA("#32770", "Centinela") ? 1 : 0, handles,
         static_cast<unsigned long>(memory.PagefileUsage), GetGuiResources(process, GR_GDIOBJECTS),
         GetGuiResources(process, GR_USEROBJECTS));
  CloseHandle(process);
  // A process always holds some handles: none means the query did not work.
  return handles > 0 ? 0 : Fail("no handle count");
}

// Flips one of 8 names in one place at random: removed when present, else
// added with new data. The same names in every place: the program must tell
// them apart by place.
bool Step(std::minstd_rand& random, unsigned long step) {
  const int place = random() % 7, slot = random() % 8;
  const std::string name = "Soak entrada " + std::to_string(slot) + ".lnk";
  if (place == 6) {
    const std::string path = "C:\\soak\\Startup\\" + name;
    if (DeleteFileA(path.c_str())) return true;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, 0, CREATE_NEW, 0, 0);
    return h != INVALID_HANDLE_VALUE && CloseHandle(h);
  }
  const REGSAM views[] = {KEY_WOW64_64KEY, KEY_WOW64_64KEY, KEY_WOW64_32KEY, KEY_WOW64_32KEY, 0, 0};
  HKEY key = OpenKey(place < 4 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                     place % 2 ? RUN "Services" : RUN, views[place]);
  const std::string data =
      "C:\\soak\\bin\\programa" + std::to_string(slot) + ".exe /vez " + std::to_string(step);
  const bool ok = RegDeleteValueA(key, name.c_str()) == 0 ||
                  RegSetValueExA(key, name.c_str(), 0, REG_SZ, (const BYTE*)data.c_str(),
                                 DWORD(data.size() + 1)) == 0;
  return RegCloseKey(key) == 0 && ok;
}

// The hidden window's part of a user: each alert answered, and the window,
// which the alert brings back, closed (hidden) again. `show` instead leaves
// it shown with no box. Returns whether it is in that state.
bool Tend(bool show, HWND* lastBox, long* alerts) {
  HWND box = FindWindowA("#32770", "Centinela");
  if (box) {
    *alerts += box != *lastBox;
    *lastBox = box;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  } else if (IsWindowVisible(Main()) != show) {
    show ? ShowWindow(Main(), SW_SHOW) : PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  return !box && IsWindowVisible(Main()) == show;
}

int Change(DWORD seed, long wanted, DWORD seconds, bool hidden) {
  HWND lastBox = 0;
  // No answer (-1) fails at the first question in the loop.
  const long first = Ask(0);
  long ticks = first, alerts = 0;
  std::minstd_rand random(seed);  // reproducible from the seed the test prints
  unsigned long changes = 0;
  const DWORD start = GetTickCount();
  for (DWORD asked = start; ticks - first < wanted; ++changes) {
    if (GetTickCount() - start > seconds * 1000) return Fail("too few ticks in the time given");
    if (!Step(random, changes)) return Fail("a change failed");
    Sleep(random() % 8);
    if (hidden) Tend(false, &lastBox, &alerts);
    // Not after every step: the answer waits for a tick in progress, and
    // changes in the middle of a scan are wanted too.
    if (GetTickCount() - asked >= 100) {
      if ((ticks = Ask(0)) < 0) return Fail("no answer from the program");
      asked = GetTickCount();
    }
  }
  for (int steady = 0; hidden && steady < 10; Sleep(20)) {
    steady = Tend(true, &lastBox, &alerts) ? steady + 1 : 0;
    if (GetTickCount() - start > (seconds + 10) * 1000) return Fail("the window did not come back");
  }
  printf("changes=%lu ticks=%ld alerts=%ld ms=%lu\n", changes, ticks - first, alerts,
         GetTickCount() - start);
  return 0;
}

int Logon(const char* name) {
  char command[MAX_PATH * 2] = {0};
  DWORD bytes = sizeof command - 1;
  HKEY key = OpenKey(HKEY_CURRENT_USER, RUN, 0);
  const LONG status = RegQueryValueExA(key, name, 0, 0, reinterpret_cast<BYTE*>(command), &bytes);
  RegCloseKey(key);
  if (status) return Fail("no such value in the Run key");
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(0, command, 0, 0, FALSE, 0, 0, 0, &startup, &process))
    return Fail("the command did not start");
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return puts(command) < 0;
}

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "post" && argc == 4)
    return !PostMessageA(Main(), std::stoul(argv[2]), std::stoul(argv[3]), 0);
  if (command == "field" && argc == 2) {
    char text[256] = {0};
    // From another process only the message reaches an edit control's text.
    SendMessageA(FindWindowExA(Main(), 0, "EDIT", 0), WM_GETTEXT, sizeof text, LPARAM(text));
    return puts(text) < 0;
  }
  if (command == "make" && argc == 2) return Make();
  if (command == "entries" && argc == 2) return Entries();
  if (command == "names" && argc == 2) return Names();
  if (command == "probe" && argc == 4) return Probe(std::stol(argv[2]), std::stoul(argv[3]));
  if (command == "change" && argc == 6)
    return Change(std::stoul(argv[2]), std::stol(argv[3]), std::stoul(argv[4]),
                  std::string(argv[5]) == "hidden");
  if (command == "logon" && argc == 3) return Logon(argv[2]);
  if (command == "dump" && argc == 2)
    return Ask(soak::kWriteTable) == 1 ? 0 : Fail("the program did not write its table");
  fprintf(stderr, "usage: see tests/e2e/drive_tool.cpp\n");
  return 2;
}
