// The soak test's Windows side, one console program for every step that has
// to run under Wine next to the program (tests/soak/soak.sh drives it, and
// empties the places and makes C:\soak\Startup the Startup folder first):
//
//   soak_tool probe [TICKS SECONDS]
//       once Timer1 has scanned TICKS times (a failure after SECONDS; without
//       them, at once), prints the program's ticks, window state, handles,
//       memory and GDI/USER objects, one line; fails unless the handle count
//       is a real one;
//   soak_tool change SEED TICKS SECONDS shown|hidden
//       adds and removes Run values and Startup files until the program has
//       scanned TICKS more times (a failure after SECONDS), then writes the
//       entries it left, as the table lists them, to C:\soak\expected.txt.
//       Hidden: the window is closed (hidden) and each alert answered and the
//       window closed again, as a user would; at the end the window is left
//       shown with no box;
//   soak_tool dump
//       has the program write its table to C:\soak\table.txt;
//   soak_tool quit
//       ends the program as the end of the session does.
//
// Exit code 0 on success, 1 on a failure (said on stderr), 2 on misuse.
#include <windows.h>
// After windows.h, which they need.
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <winternl.h>

#include <random>
#include <string>
#include <vector>

#include "tests/e2e/tool.h"
#include "tests/soak/hooks.h"

namespace {

#define RUN "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define STARTUP "C:\\soak\\Startup"

struct Place {
  HKEY root;  // null for the Startup folder
  const char* key;
  REGSAM view;      // 0 where the key has one view only
  const char* row;  // how its rows end in the table: place (a root in decimal), key, view
};

// The same names in every place: the program must tell them apart by place.
const Place kPlaces[] = {
    {HKEY_LOCAL_MACHINE, RUN, KEY_WOW64_64KEY, "-2147483646\t" RUN "\t64"},
    {HKEY_LOCAL_MACHINE, RUN, KEY_WOW64_32KEY, "-2147483646\t" RUN "\t32"},
    {HKEY_LOCAL_MACHINE, RUN "Services", KEY_WOW64_64KEY, "-2147483646\t" RUN "Services\t64"},
    {HKEY_LOCAL_MACHINE, RUN "Services", KEY_WOW64_32KEY, "-2147483646\t" RUN "Services\t32"},
    {HKEY_CURRENT_USER, RUN, 0, "-2147483647\t" RUN "\t"},
    {HKEY_CURRENT_USER, RUN "Services", 0, "-2147483647\t" RUN "Services\t"},
    {0, "", 0, STARTUP "\t\t"},
};
const int kPlaceCount = sizeof kPlaces / sizeof kPlaces[0];
const int kSlotCount = 8;

int Fail(const char* what) {
  fprintf(stderr, "soak_tool: %s (error %lu)\n", what, GetLastError());
  return 1;
}

// The soak build's answer (hooks.h); -1 when none came.
long Ask(WPARAM what) {
  const UINT message = RegisterWindowMessageA(soak::kTicksMessage);
  HWND main = FindWindowA(tool::kMainClass, 0);
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(main, message, what, 0, SMTO_ABORTIFHUNG, 10000, &answer)) return -1;
  return static_cast<long>(answer);
}

HWND AlertBox() { return FindWindowA("#32770", "Centinela"); }

// The process's handles, counted in the system's list of every process's
// handles: Wine 8 answers GetProcessHandleCount with 0, but that list is exact.
DWORD HandleCount(DWORD pid) {
  std::vector<char> buffer(1 << 26);
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
  HWND window = FindWindowA(tool::kMainClass, 0);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  PROCESS_MEMORY_COUNTERS memory;
  if (!process || !GetProcessMemoryInfo(process, &memory, sizeof memory))
    return Fail("no memory figures for the program");
  const DWORD handles = HandleCount(pid);
  printf("ticks=%ld visible=%d box=%d handles=%lu private=%lu gdi=%lu user=%lu\n", ticks,
         IsWindowVisible(window) ? 1 : 0, AlertBox() ? 1 : 0, handles,
         static_cast<unsigned long>(memory.PagefileUsage), GetGuiResources(process, GR_GDIOBJECTS),
         GetGuiResources(process, GR_USEROBJECTS));
  CloseHandle(process);
  // A process always holds some handles: none means the query did not work.
  return handles > 0 ? 0 : Fail("no handle count");
}

// Start-up entries that come and go. Each step flips one slot of one place
// at random: added (with new data) when absent, removed when present.
struct Changer {
  bool Step() {
    const int place = random() % kPlaceCount, slot = random() % kSlotCount;
    const Place& p = kPlaces[place];
    const std::string name = "Soak entrada " + std::to_string(slot) + ".lnk";
    const std::string path = STARTUP "\\" + name;
    char* data = commands[place][slot];
    HKEY key = p.root ? tool::OpenKey(p.root, p.key, p.view) : 0;
    bool ok;
    if (*data) {
      ok = p.root ? RegDeleteValueA(key, name.c_str()) == ERROR_SUCCESS : DeleteFileA(path.c_str());
      *data = '\0';
    } else if (p.root) {
      wsprintfA(data, "C:\\soak\\bin\\programa%d.exe /vez %lu", slot, changes);
      ok = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                          static_cast<DWORD>(strlen(data) + 1)) == ERROR_SUCCESS;
    } else {
      HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, 0, CREATE_NEW, 0, 0);
      ok = h != INVALID_HANDLE_VALUE && CloseHandle(h);
      lstrcpyA(data, name.c_str());  // a file's row shows its name as the command
    }
    ++changes;
    return (!key || RegCloseKey(key) == ERROR_SUCCESS) && ok;
  }

  // Rows as the program's table writes them: name, command, "NO" (nothing
  // is validated), place, key, view.
  bool WriteExpected() const {
    FILE* out = fopen("C:\\soak\\expected.txt", "wb");
    for (int place = 0; out && place < kPlaceCount; ++place)
      for (int slot = 0; slot < kSlotCount; ++slot)
        if (*commands[place][slot])
          fprintf(out, "Soak entrada %d.lnk\t%s\tNO\t%s\r\n", slot, commands[place][slot],
                  kPlaces[place].row);
    return out && fclose(out) == 0;
  }

  std::minstd_rand random;  // reproducible from the seed the test prints
  unsigned long changes = 0;
  char commands[kPlaceCount][kSlotCount][64] = {};  // empty for an entry absent
};

// The hidden window's part of a user: each alert answered, and the window,
// which the alert brings back, closed (hidden) again. `show` instead leaves
// it shown with no box. Returns whether it is in that state.
bool Tend(HWND window, bool show, HWND* lastBox, long* alerts) {
  HWND box = AlertBox();
  if (box) {
    *alerts += box != *lastBox;
    *lastBox = box;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  } else if (IsWindowVisible(window) != show) {
    show ? ShowWindow(window, SW_SHOW) : PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  return !box && IsWindowVisible(window) == show;
}

int Change(DWORD seed, long wanted, DWORD seconds, bool hidden) {
  HWND window = FindWindowA(tool::kMainClass, 0), lastBox = 0;
  const long first = Ask(0);
  long ticks = first, alerts = 0;
  if (first < 0) return Fail("no answer from the program");
  Changer changer = {std::minstd_rand(seed)};
  const DWORD start = GetTickCount();
  for (DWORD asked = start; ticks - first < wanted;) {
    if (GetTickCount() - start > seconds * 1000) return Fail("too few ticks in the time given");
    if (!changer.Step()) return Fail("a change failed");
    Sleep(changer.random() % 8);
    if (hidden) Tend(window, false, &lastBox, &alerts);
    // Not after every step: the answer waits for a tick in progress, and
    // changes in the middle of a scan are wanted too.
    if (GetTickCount() - asked >= 100) {
      if ((ticks = Ask(0)) < 0) return Fail("no answer from the program");
      asked = GetTickCount();
    }
  }
  for (int steady = 0; hidden && steady < 10; Sleep(20)) {
    steady = Tend(window, true, &lastBox, &alerts) ? steady + 1 : 0;
    if (GetTickCount() - start > (seconds + 10) * 1000) return Fail("the window did not come back");
  }
  if (!changer.WriteExpected()) return Fail("cannot write the entries left");
  printf("changes=%lu ticks=%ld alerts=%ld ms=%lu\n", changer.changes, ticks - first, alerts,
         GetTickCount() - start);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "probe" && (argc == 2 || argc == 4))
    return Probe(argc == 4 ? atol(argv[2]) : 0, argc == 4 ? strtoul(argv[3], 0, 10) : 0);
  if (command == "change" && argc == 6)
    return Change(strtoul(argv[2], 0, 10), atol(argv[3]), strtoul(argv[4], 0, 10),
                  !strcmp(argv[5], "hidden"));
  if (command == "dump" && argc == 2)
    return Ask(soak::kWriteTable) == 1 ? 0 : Fail("the program did not write its table");
  if (command == "quit" && argc == 2)
    return PostMessageA(FindWindowA(tool::kMainClass, 0), WM_ENDSESSION, TRUE, 0) ? 0 : 1;
  fprintf(stderr, "usage: see tests/soak/soak_tool.cpp\n");
  return 2;
}
