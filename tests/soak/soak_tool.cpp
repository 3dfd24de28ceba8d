// The soak test's Windows side, one console program for every step that has
// to run under Wine next to the program (tests/soak/soak.sh drives it):
//
//   soak_tool prepare STARTUP_DIR
//       empties the watched Run keys (both views of HKLM), points the user's
//       Startup folder at STARTUP_DIR (made empty) and makes the open command
//       of .exe files the standard one: the program starts with nothing to
//       alert about, so no box ever stops its timer;
//   soak_tool wait TICKS SECONDS
//       waits until the program's window is visible and Timer1 has fired TICKS
//       times, then prints what `probe` prints;
//   soak_tool probe
//       prints the program's tick count, handle count and memory, one line;
//   soak_tool change SEED TICKS SECONDS STARTUP_DIR EXPECTED_FILE
//       adds and removes Run values and Startup files, with short sleeps,
//       until the program has ticked TICKS more times (a failure after
//       SECONDS), then writes the entries it left as the table lists them;
//   soak_tool dump FILE
//       has the program write its table to FILE.
//
// Exit code 0 on success, 1 on a failure (said on stderr), 2 on misuse.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tests/soak/hooks.h"

namespace {

const char kWindowClass[] = "CentinelaForm1";
const char kAlertCaption[] = "Centinela";
const char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunServices[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
const char kOpenCommand[] = "exefile\\shell\\open\\command";
const char kStandardOpenCommand[] = "\"%1\" %*";

struct RegPlace {
  HKEY root;
  const char* key;
  REGSAM view;  // 0 where the key has one view only
  const char* viewText;
};

// The six registry places the program reads; the Startup folder comes after.
const RegPlace kRegPlaces[] = {
    {HKEY_LOCAL_MACHINE, kRun, KEY_WOW64_64KEY, "64"},
    {HKEY_LOCAL_MACHINE, kRun, KEY_WOW64_32KEY, "32"},
    {HKEY_LOCAL_MACHINE, kRunServices, KEY_WOW64_64KEY, "64"},
    {HKEY_LOCAL_MACHINE, kRunServices, KEY_WOW64_32KEY, "32"},
    {HKEY_CURRENT_USER, kRun, 0, ""},
    {HKEY_CURRENT_USER, kRunServices, 0, ""},
};
const int kRegPlaceCount = sizeof kRegPlaces / sizeof kRegPlaces[0];
const int kPlaceCount = kRegPlaceCount + 1;
// The same names in every place: the program must tell them apart by place.
const int kSlotCount = 8;

int Fail(const char* what, const char* detail, DWORD code) {
  fprintf(stderr, "soak_tool: %s %s (error %lu)\n", what, detail, code);
  return 1;
}

HKEY OpenPlace(const RegPlace& place) {
  HKEY key = 0;
  if (RegCreateKeyExA(place.root, place.key, 0, 0, 0, KEY_ALL_ACCESS | place.view, 0, &key, 0) !=
      ERROR_SUCCESS)
    return 0;
  return key;
}

// Removes every value of a key; a value deleted shifts the others down.
bool EmptyKey(HKEY key) {
  for (;;) {
    char name[16384];
    DWORD length = sizeof name;
    LONG status = RegEnumValueA(key, 0, name, &length, 0, 0, 0, 0);
    if (status == ERROR_NO_MORE_ITEMS) return true;
    if (status != ERROR_SUCCESS || RegDeleteValueA(key, name) != ERROR_SUCCESS) return false;
  }
}

bool SetString(HKEY root, const char* key, const char* name, DWORD type, const char* text) {
  HKEY opened = 0;
  if (RegCreateKeyExA(root, key, 0, 0, 0, KEY_SET_VALUE, 0, &opened, 0) != ERROR_SUCCESS)
    return false;
  const bool ok = RegSetValueExA(opened, name, 0, type, reinterpret_cast<const BYTE*>(text),
                                 static_cast<DWORD>(strlen(text) + 1)) == ERROR_SUCCESS;
  RegCloseKey(opened);
  return ok;
}

bool EmptyFolder(const char* folder) {
  char pattern[MAX_PATH];
  wsprintfA(pattern, "%s\\*", folder);
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(pattern, &found);
  if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  bool ok = true;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    char path[MAX_PATH];
    wsprintfA(path, "%s\\%s", folder, found.cFileName);
    ok = DeleteFileA(path) && ok;
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return ok;
}

int Prepare(const char* startupDir) {
  for (int p = 0; p < kRegPlaceCount; ++p) {
    HKEY key = OpenPlace(kRegPlaces[p]);
    if (!key) return Fail("cannot open", kRegPlaces[p].key, GetLastError());
    const bool emptied = EmptyKey(key);
    RegCloseKey(key);
    if (!emptied) return Fail("cannot empty", kRegPlaces[p].key, GetLastError());
  }
  // The parent first; either may exist already.
  char parent[MAX_PATH];
  lstrcpynA(parent, startupDir, sizeof parent);
  char* slash = strrchr(parent, '\\');
  if (slash) *slash = '\0';
  CreateDirectoryA(parent, 0);
  CreateDirectoryA(startupDir, 0);
  if (!EmptyFolder(startupDir)) return Fail("cannot empty", startupDir, GetLastError());
  // Both settings, so that a shell refreshing the first from the second
  // writes the same folder.
  char key[256];
  wsprintfA(key, "%sUser Shell Folders", kExplorer);
  if (!SetString(HKEY_CURRENT_USER, key, "Startup", REG_EXPAND_SZ, startupDir))
    return Fail("cannot set Startup in", key, GetLastError());
  wsprintfA(key, "%sShell Folders", kExplorer);
  if (!SetString(HKEY_CURRENT_USER, key, "Startup", REG_SZ, startupDir))
    return Fail("cannot set Startup in", key, GetLastError());
  if (!SetString(HKEY_CLASSES_ROOT, kOpenCommand, "", REG_SZ, kStandardOpenCommand))
    return Fail("cannot set", kOpenCommand, GetLastError());
  return 0;
}

HWND ProgramWindow() { return FindWindowA(kWindowClass, 0); }

bool QueryTicks(HWND window, unsigned long* ticks) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, RegisterWindowMessageA(soak::kTicksMessage), 0, 0,
                           SMTO_ABORTIFHUNG, 5000, &answer))
    return false;
  *ticks = static_cast<unsigned long>(answer);
  return true;
}

// Resolved at run time: GetProcessHandleCount is XP SP1 on, GetGuiResources
// 2000 on, and ntdll's system query has no import library here.
typedef BOOL(WINAPI* HandleCountFn)(HANDLE, PDWORD);
typedef DWORD(WINAPI* GuiResourcesFn)(HANDLE, DWORD);
typedef LONG(WINAPI* SystemQueryFn)(ULONG, PVOID, ULONG, PULONG);

template <typename Fn>
Fn Lookup(const char* module, const char* name) {
  HMODULE loaded = GetModuleHandleA(module);
  if (!loaded) loaded = LoadLibraryA(module);
  return loaded ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(loaded, name))) : 0;
}

// NtQuerySystemInformation's list of every open handle of every process.
const ULONG kSystemHandleInformation = 16;
const LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
struct SystemHandleEntry {
  ULONG ownerPid;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  PVOID object;
  ULONG access;
};
struct SystemHandleList {
  ULONG count;
  SystemHandleEntry entries[1];
};

// Wine answers GetProcessHandleCount with 0; its server's list of handles
// is exact, so that comes first.
bool CountHandles(DWORD pid, HANDLE process, DWORD* count, const char** how) {
  SystemQueryFn query = Lookup<SystemQueryFn>("ntdll.dll", "NtQuerySystemInformation");
  for (ULONG size = 1 << 16; query && size <= (1u << 26); size *= 2) {
    SystemHandleList* list = static_cast<SystemHandleList*>(malloc(size));
    if (!list) break;
    const LONG status = query(kSystemHandleInformation, list, size, 0);
    if (status == 0) {
      *count = 0;
      for (ULONG i = 0; i < list->count; ++i)
        if (list->entries[i].ownerPid == pid) ++*count;
    }
    free(list);
    if (status == 0) {
      *how = "system-handle-list";
      return true;
    }
    if (status != kStatusInfoLengthMismatch) break;
  }
  HandleCountFn handleCount = Lookup<HandleCountFn>("kernel32.dll", "GetProcessHandleCount");
  *how = "GetProcessHandleCount";
  return handleCount && handleCount(process, count);
}

int Probe() {
  HWND window = ProgramWindow();
  if (!window) return Fail("no window of class", kWindowClass, 0);
  unsigned long ticks = 0;
  if (!QueryTicks(window, &ticks)) return Fail("no answer from", kWindowClass, GetLastError());
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return Fail("cannot open the process of", kWindowClass, GetLastError());
  DWORD handles = 0;
  const char* how = "";
  const bool haveHandles = CountHandles(pid, process, &handles, &how);
  GuiResourcesFn guiResources = Lookup<GuiResourcesFn>("user32.dll", "GetGuiResources");
  const DWORD gdi = guiResources ? guiResources(process, GR_GDIOBJECTS) : 0;
  const DWORD user = guiResources ? guiResources(process, GR_USEROBJECTS) : 0;
  PROCESS_MEMORY_COUNTERS memory;
  ZeroMemory(&memory, sizeof memory);
  memory.cb = sizeof memory;
  const bool haveMemory = GetProcessMemoryInfo(process, &memory, sizeof memory);
  const DWORD error = GetLastError();
  CloseHandle(process);
  if (!haveHandles || !haveMemory) return Fail("no figures for", kWindowClass, error);
  printf("pid=%lu ticks=%lu handles=%lu private=%lu workingset=%lu gdi=%lu user=%lu from=%s\n", pid,
         ticks, handles, static_cast<unsigned long>(memory.PagefileUsage),
         static_cast<unsigned long>(memory.WorkingSetSize), gdi, user, how);
  fflush(stdout);
  return 0;
}

int Wait(unsigned long wanted, DWORD seconds) {
  const DWORD start = GetTickCount();
  const char* missing = "no window";
  while (GetTickCount() - start < seconds * 1000) {
    HWND window = ProgramWindow();
    unsigned long ticks = 0;
    if (FindWindowA("#32770", kAlertCaption)) {
      missing = "an alert box is open";
    } else if (window && !IsWindowVisible(window)) {
      missing = "the window is hidden";
    } else if (window && QueryTicks(window, &ticks)) {
      if (ticks >= wanted) return Probe();
      missing = "too few ticks";
    }
    Sleep(50);
  }
  fprintf(stderr, "soak_tool: waited %lu s for %lu ticks: %s\n", seconds, wanted, missing);
  return 1;
}

// Start-up entries that come and go. Each step flips one slot of one place
// at random: added (with new data) when absent, removed when present.
class Changer {
 public:
  Changer(unsigned long seed, const char* startupDir)
      : random_(seed ? seed : 1), startupDir_(startupDir), adds_(0), removes_(0) {
    ZeroMemory(present_, sizeof present_);
    ZeroMemory(data_, sizeof data_);
  }

  bool Step() {
    const int place = static_cast<int>(Next() % kPlaceCount);
    const int slot = static_cast<int>(Next() % kSlotCount);
    char name[32];
    Name(slot, name);
    bool ok;
    if (present_[place][slot]) {
      ok = place < kRegPlaceCount ? Remove(kRegPlaces[place], name) : RemoveFile(name);
      ++removes_;
    } else {
      wsprintfA(data_[place][slot], "C:\\soak\\bin\\programa%d.exe /vez %lu", slot,
                adds_ + removes_);
      ok =
          place < kRegPlaceCount ? Add(kRegPlaces[place], name, data_[place][slot]) : AddFile(name);
      ++adds_;
    }
    present_[place][slot] = !present_[place][slot];
    return ok;
  }

  unsigned long Pause() { return Next() % 8; }

  // Rows as the program's table writes them: name, command, "NO" (nothing
  // is validated), place, key, view.
  bool WriteExpected(const char* path, int* count) const {
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    *count = 0;
    for (int place = 0; place < kPlaceCount; ++place) {
      for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!present_[place][slot]) continue;
        char name[32];
        Name(slot, name);
        if (place < kRegPlaceCount) {
          const RegPlace& reg = kRegPlaces[place];
          fprintf(file, "%s\t%s\tNO\t%ld\t%s\t%s\r\n", name, data_[place][slot],
                  static_cast<long>(reinterpret_cast<LONG_PTR>(reg.root)), reg.key, reg.viewText);
        } else {
          fprintf(file, "%s\t%s\tNO\t%s\t\t\r\n", name, name, startupDir_);
        }
        ++*count;
      }
    }
    return fclose(file) == 0;
  }

  unsigned long adds() const { return adds_; }
  unsigned long removes() const { return removes_; }

 private:
  static void Name(int slot, char* name) { wsprintfA(name, "Soak entrada %d.lnk", slot); }

  DWORD Next() {
    // xorshift32: reproducible from the seed the test prints.
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    return random_;
  }

  static bool Add(const RegPlace& place, const char* name, const char* data) {
    HKEY key = OpenPlace(place);
    if (!key) return false;
    const bool ok = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                                   static_cast<DWORD>(strlen(data) + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
  }

  static bool Remove(const RegPlace& place, const char* name) {
    HKEY key = OpenPlace(place);
    if (!key) return false;
    const bool ok = RegDeleteValueA(key, name) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
  }

  bool AddFile(const char* name) const {
    char path[MAX_PATH];
    wsprintfA(path, "%s\\%s", startupDir_, name);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, 0);
    return file != INVALID_HANDLE_VALUE && CloseHandle(file);
  }

  bool RemoveFile(const char* name) const {
    char path[MAX_PATH];
    wsprintfA(path, "%s\\%s", startupDir_, name);
    return DeleteFileA(path) != FALSE;
  }

  DWORD random_;
  const char* startupDir_;
  unsigned long adds_;
  unsigned long removes_;
  bool present_[kPlaceCount][kSlotCount];
  char data_[kPlaceCount][kSlotCount][64];
};

int Change(unsigned long seed, unsigned long wanted, DWORD seconds, const char* startupDir,
           const char* expectedPath) {
  HWND window = ProgramWindow();
  unsigned long first = 0;
  if (!window || !QueryTicks(window, &first)) return Fail("no answer from", kWindowClass, 0);
  Changer changer(seed, startupDir);
  const DWORD start = GetTickCount();
  DWORD asked = start;
  unsigned long ticks = first;
  while (ticks - first < wanted) {
    if (GetTickCount() - start > seconds * 1000) {
      fprintf(stderr, "soak_tool: only %lu ticks in %lu s\n", ticks - first, seconds);
      return 1;
    }
    if (!changer.Step()) return Fail("a change failed at step", "", GetLastError());
    Sleep(changer.Pause());
    // Not after every step: the answer waits for a tick in progress, and
    // changes in the middle of a scan are wanted too.
    if (GetTickCount() - asked >= 100) {
      if (!QueryTicks(window, &ticks)) return Fail("no answer from", kWindowClass, 0);
      asked = GetTickCount();
    }
  }
  int left = 0;
  if (!changer.WriteExpected(expectedPath, &left)) return Fail("cannot write", expectedPath, 0);
  printf("changes=%lu adds=%lu removes=%lu ticks=%lu ms=%lu left=%d\n",
         changer.adds() + changer.removes(), changer.adds(), changer.removes(), ticks - first,
         GetTickCount() - start, left);
  return 0;
}

int Dump(const char* path) {
  HWND window = ProgramWindow();
  if (!window) return Fail("no window of class", kWindowClass, 0);
  COPYDATASTRUCT request;
  request.dwData = soak::kDumpTag;
  request.cbData = static_cast<DWORD>(strlen(path) + 1);
  request.lpData = const_cast<char*>(path);
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request),
                           SMTO_ABORTIFHUNG, 10000, &answer) ||
      !answer)
    return Fail("the program did not write", path, GetLastError());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* command = argc > 1 ? argv[1] : "";
  if (!strcmp(command, "prepare") && argc == 3) return Prepare(argv[2]);
  if (!strcmp(command, "wait") && argc == 4)
    return Wait(strtoul(argv[2], 0, 10), strtoul(argv[3], 0, 10));
  if (!strcmp(command, "probe") && argc == 2) return Probe();
  if (!strcmp(command, "change") && argc == 7)
    return Change(strtoul(argv[2], 0, 10), strtoul(argv[3], 0, 10), strtoul(argv[4], 0, 10),
                  argv[5], argv[6]);
  if (!strcmp(command, "dump") && argc == 3) return Dump(argv[2]);
  fprintf(stderr,
          "usage: soak_tool prepare STARTUP_DIR | wait TICKS SECONDS | probe |\n"
          "       change SEED TICKS SECONDS STARTUP_DIR EXPECTED_FILE | dump FILE\n");
  return 2;
}
