// The soak test's Windows side, one console program for every step that has
// to run under Wine next to the program (tests/soak/soak.sh drives it):
//
//   soak_tool prepare STARTUP_DIR
//       empties the watched Run keys (both views of HKLM), points the user's
//       Startup folder at STARTUP_DIR (made, or emptied of the changer's
//       files) and makes the open command
//       the standard one, so the program starts with nothing to alert about;
//   soak_tool wait TICKS SECONDS
//       waits until Timer1 has scanned TICKS times, then prints what `probe`
//       prints;
//   soak_tool probe
//       prints the program's ticks, window state, handles, memory and GDI/USER
//       objects, one line; fails unless the handle count is a real one;
//   soak_tool change SEED TICKS SECONDS STARTUP_DIR EXPECTED_FILE shown|hidden
//       adds and removes Run values and Startup files until the program has
//       scanned TICKS more times (a failure after SECONDS), then writes the
//       entries it left as the table lists them. Hidden: the window is closed
//       (hidden) and each alert answered and the window closed again, as a
//       user would; at the end the window is left shown with no box;
//   soak_tool dump FILE
//       has the program write its table to FILE;
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

#include "tests/soak/hooks.h"

namespace {

const char kWindowClass[] = "CentinelaForm1";
const char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunServices[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";

struct RegPlace {
  HKEY root;
  const char* key;
  REGSAM view;  // 0 where the key has one view only
};

// The six registry places the program reads; the Startup folder comes after.
const RegPlace kRegPlaces[] = {
    {HKEY_LOCAL_MACHINE, kRun, KEY_WOW64_64KEY},
    {HKEY_LOCAL_MACHINE, kRun, KEY_WOW64_32KEY},
    {HKEY_LOCAL_MACHINE, kRunServices, KEY_WOW64_64KEY},
    {HKEY_LOCAL_MACHINE, kRunServices, KEY_WOW64_32KEY},
    {HKEY_CURRENT_USER, kRun, 0},
    {HKEY_CURRENT_USER, kRunServices, 0},
};
const int kRegPlaceCount = sizeof kRegPlaces / sizeof kRegPlaces[0];
const int kPlaceCount = kRegPlaceCount + 1;
// The same names in every place: the program must tell them apart by place.
const int kSlotCount = 8;

int Fail(const char* what, const char* detail) {
  fprintf(stderr, "soak_tool: %s %s (error %lu)\n", what, detail, GetLastError());
  return 1;
}

HKEY Open(HKEY root, const char* key, REGSAM view) {
  HKEY k = 0;
  RegCreateKeyExA(root, key, 0, 0, 0, KEY_ALL_ACCESS | view, 0, &k, 0);
  return k;
}

bool SetValue(HKEY root, const char* key, REGSAM view, const char* name, DWORD type,
              const char* text) {
  HKEY k = Open(root, key, view);
  const bool ok = k && RegSetValueExA(k, name, 0, type, reinterpret_cast<const BYTE*>(text),
                                      static_cast<DWORD>(strlen(text) + 1)) == ERROR_SUCCESS;
  return RegCloseKey(k) == ERROR_SUCCESS && ok;
}

bool DeleteValue(const RegPlace& place, const char* name) {
  HKEY k = Open(place.root, place.key, place.view);
  const bool ok = k && RegDeleteValueA(k, name) == ERROR_SUCCESS;
  return RegCloseKey(k) == ERROR_SUCCESS && ok;
}

int Prepare(const char* startupDir) {
  for (const RegPlace& p : kRegPlaces) {
    HKEY k = Open(p.root, p.key, p.view);
    const LONG status = k ? RegDeleteTreeA(k, 0) : ERROR_INVALID_HANDLE;
    RegCloseKey(k);
    if (status != ERROR_SUCCESS) return Fail("cannot empty", p.key);
  }
  // The folder is new or holds what the last changer left.
  char path[MAX_PATH];
  lstrcpynA(path, startupDir, sizeof path);
  *strrchr(path, '\\') = '\0';
  CreateDirectoryA(path, 0);
  CreateDirectoryA(startupDir, 0);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    wsprintfA(path, "%s\\Soak entrada %d.lnk", startupDir, slot);
    if (!DeleteFileA(path) && GetLastError() != ERROR_FILE_NOT_FOUND)
      return Fail("cannot delete", path);
  }
  // Both settings, so that a shell refreshing the first from the second
  // writes the same folder.
  const char* folders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  if (!SetValue(HKEY_CURRENT_USER, folders, 0, "Startup", REG_SZ, startupDir) ||
      !SetValue(HKEY_CURRENT_USER,
                "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", 0,
                "Startup", REG_EXPAND_SZ, startupDir) ||
      !SetValue(HKEY_CLASSES_ROOT, "exefile\\shell\\open\\command", 0, "", REG_SZ, "\"%1\" %*"))
    return Fail("cannot set", "the Startup folder or the open command");
  return 0;
}

bool QueryTicks(HWND window, unsigned long* ticks) {
  DWORD_PTR answer = 0;
  if (!window || !SendMessageTimeoutA(window, RegisterWindowMessageA(soak::kTicksMessage), 0, 0,
                                      SMTO_ABORTIFHUNG, 5000, &answer))
    return false;
  *ticks = static_cast<unsigned long>(answer);
  return true;
}

HWND AlertBox() { return FindWindowA("#32770", "Centinela"); }

// Wine 8 answers GetProcessHandleCount with 0, but its server's list of
// every process's handles is exact.
DWORD CountHandles(DWORD pid, HANDLE process, const char** how) {
  DWORD count = 0;
  *how = "GetProcessHandleCount";
  if (GetProcessHandleCount(process, &count) && count > 0) return count;
  *how = "system-handle-list";
  const ULONG size = 1 << 26;
  SYSTEM_HANDLE_INFORMATION* list = static_cast<SYSTEM_HANDLE_INFORMATION*>(malloc(size));
  if (list && NtQuerySystemInformation(SystemHandleInformation, list, size, 0) == 0)
    for (ULONG i = 0; i < list->Count; ++i) count += list->Handle[i].OwnerPid == pid;
  free(list);
  return count;
}

int Probe() {
  HWND window = FindWindowA(kWindowClass, 0);
  unsigned long ticks = 0;
  if (!QueryTicks(window, &ticks)) return Fail("no answer from", kWindowClass);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return Fail("cannot open the process of", kWindowClass);
  const char* how = "";
  const DWORD handles = CountHandles(pid, process, &how);
  PROCESS_MEMORY_COUNTERS memory;
  const bool haveMemory = GetProcessMemoryInfo(process, &memory, sizeof memory);
  printf("ticks=%lu visible=%d box=%d handles=%lu from=%s private=%lu gdi=%lu user=%lu\n", ticks,
         IsWindowVisible(window) ? 1 : 0, AlertBox() ? 1 : 0, handles, how,
         static_cast<unsigned long>(memory.PagefileUsage), GetGuiResources(process, GR_GDIOBJECTS),
         GetGuiResources(process, GR_USEROBJECTS));
  CloseHandle(process);
  // A process always holds some handles: none means the query did not work.
  if (handles == 0) return Fail("no handle count from", how);
  return haveMemory ? 0 : Fail("no memory figures for", kWindowClass);
}

int Wait(unsigned long wanted, DWORD seconds) {
  unsigned long ticks = 0;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000; Sleep(50))
    if (QueryTicks(FindWindowA(kWindowClass, 0), &ticks) && ticks >= wanted) return Probe();
  fprintf(stderr, "soak_tool: waited %lu s for %lu ticks: %lu\n", seconds, wanted, ticks);
  return 1;
}

// Start-up entries that come and go. Each step flips one slot of one place
// at random: added (with new data) when absent, removed when present.
class Changer {
 public:
  Changer(DWORD seed, const char* startupDir) : random_(seed ? seed : 1), dir_(startupDir) {}

  bool Step() {
    const int place = static_cast<int>(Next() % kPlaceCount);
    const int slot = static_cast<int>(Next() % kSlotCount);
    const bool file = place == kRegPlaceCount;
    char name[32], path[MAX_PATH];
    wsprintfA(name, "Soak entrada %d.lnk", slot);
    wsprintfA(path, "%s\\%s", dir_, name);
    char* data = data_[place][slot];
    bool ok;
    if (present_[place][slot]) {
      ok = file ? DeleteFileA(path) : DeleteValue(kRegPlaces[place], name);
    } else if (file) {
      HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, 0);
      ok = h != INVALID_HANDLE_VALUE && CloseHandle(h);
    } else {
      const RegPlace& p = kRegPlaces[place];
      wsprintfA(data, "C:\\soak\\bin\\programa%d.exe /vez %lu", slot, changes);
      ok = SetValue(p.root, p.key, p.view, name, REG_SZ, data);
    }
    present_[place][slot] = !present_[place][slot];
    ++changes;
    return ok;
  }

  unsigned long Pause() { return Next() % 8; }

  // Rows as the program's table writes them: name, command, "NO" (nothing
  // is validated), place, key, view.
  bool WriteExpected(const char* path, int* left) const {
    FILE* out = fopen(path, "wb");
    for (int place = 0; out && place < kPlaceCount; ++place)
      for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!present_[place][slot]) continue;
        ++*left;
        const RegPlace& p = kRegPlaces[place];
        if (place == kRegPlaceCount)
          fprintf(out, "Soak entrada %d.lnk\tSoak entrada %d.lnk\tNO\t%s\t\t\r\n", slot, slot,
                  dir_);
        else
          fprintf(out, "Soak entrada %d.lnk\t%s\tNO\t%ld\t%s\t%s\r\n", slot, data_[place][slot],
                  static_cast<long>(reinterpret_cast<LONG_PTR>(p.root)), p.key,
                  p.view == KEY_WOW64_64KEY ? "64"
                  : p.view                  ? "32"
                                            : "");
      }
    return out && fclose(out) == 0;
  }

  unsigned long changes = 0;

 private:
  DWORD Next() {  // xorshift32: reproducible from the seed the test prints
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    return random_;
  }

  DWORD random_;
  const char* dir_;
  bool present_[kPlaceCount][kSlotCount] = {};
  char data_[kPlaceCount][kSlotCount][64] = {};
};

// The hidden window's part of a user: each alert answered, and the window,
// which the alert brings back, closed (hidden) again. `show` instead leaves
// it shown with no box. Returns whether it is in that state.
bool Tend(HWND window, bool show, HWND* lastBox, unsigned long* alerts) {
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

int Change(DWORD seed, unsigned long wanted, DWORD seconds, const char* startupDir,
           const char* expectedPath, bool hidden) {
  HWND window = FindWindowA(kWindowClass, 0), lastBox = 0;
  unsigned long first = 0, ticks = 0, alerts = 0;
  if (!QueryTicks(window, &first)) return Fail("no answer from", kWindowClass);
  Changer changer(seed, startupDir);
  const DWORD start = GetTickCount();
  DWORD asked = start;
  for (ticks = first; ticks - first < wanted;) {
    if (GetTickCount() - start > seconds * 1000) {
      fprintf(stderr, "soak_tool: only %lu ticks in %lu s\n", ticks - first, seconds);
      return 1;
    }
    if (!changer.Step()) return Fail("a change failed after", "some steps");
    Sleep(changer.Pause());
    if (hidden) Tend(window, false, &lastBox, &alerts);
    // Not after every step: the answer waits for a tick in progress, and
    // changes in the middle of a scan are wanted too.
    if (GetTickCount() - asked >= 100) {
      if (!QueryTicks(window, &ticks)) return Fail("no answer from", kWindowClass);
      asked = GetTickCount();
    }
  }
  for (int steady = 0; hidden && steady < 10; Sleep(20)) {
    steady = Tend(window, true, &lastBox, &alerts) ? steady + 1 : 0;
    if (GetTickCount() - start > (seconds + 10) * 1000)
      return Fail("the window did not come back", "");
  }
  int left = 0;
  if (!changer.WriteExpected(expectedPath, &left)) return Fail("cannot write", expectedPath);
  printf("changes=%lu ticks=%lu alerts=%lu ms=%lu left=%d\n", changer.changes, ticks - first,
         alerts, GetTickCount() - start, left);
  return 0;
}

int Dump(const char* path) {
  COPYDATASTRUCT request = {soak::kDumpTag, static_cast<DWORD>(strlen(path) + 1),
                            const_cast<char*>(path)};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(FindWindowA(kWindowClass, 0), WM_COPYDATA, 0,
                           reinterpret_cast<LPARAM>(&request), SMTO_ABORTIFHUNG, 10000, &answer) ||
      !answer)
    return Fail("the program did not write", path);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* command = argc > 1 ? argv[1] : "";
  if (!strcmp(command, "prepare") && argc == 3) return Prepare(argv[2]);
  if (!strcmp(command, "wait") && argc == 4)
    return Wait(strtoul(argv[2], 0, 10), strtoul(argv[3], 0, 10));
  if (!strcmp(command, "probe") && argc == 2) return Probe();
  if (!strcmp(command, "change") && argc == 8)
    return Change(strtoul(argv[2], 0, 10), strtoul(argv[3], 0, 10), strtoul(argv[4], 0, 10),
                  argv[5], argv[6], !strcmp(argv[7], "hidden"));
  if (!strcmp(command, "dump") && argc == 3) return Dump(argv[2]);
  if (!strcmp(command, "quit") && argc == 2)
    return PostMessageA(FindWindowA(kWindowClass, 0), WM_ENDSESSION, TRUE, 0) ? 0 : 1;
  fprintf(stderr, "usage: see tests/soak/soak_tool.cpp\n");
  return 2;
}
