// The black-box benchmark's Windows side (bench/run.sh drives it under Wine,
// next to the program as built for shipping):
//
//   bench_tool populate ENTRIES STATE STARTUP_DIR
//       empties the watched keys (both views of HKLM) and the Startup folder,
//       then spreads ENTRIES entries over the six keys, the folder and the
//       open command of .exe files (the other watched places stay empty); STATE "shown" writes a data file of 30
//       records that name none of them, "hidden" one that validates them all;
//       from 300 entries on, 250 automatic services are planted besides;
//   bench_tool floor MILLISECONDS
//       stays resident and, every MILLISECONDS, does the bare reads a tick
//       cannot do without: each key of entries opened once per view and
//       enumerated to the end, both Startup settings read and their folders
//       listed, each key of named values opened once and its values read,
//       each service key and each subkey of a hijack point opened once
//       and its values read once (0: no timer, the idle measure);
//   bench_tool show SECONDS / hide SECONDS
//       brings the running program to the state measured: its window shown
//       with the start-up alert closed, or hidden with no alert pending;
//   bench_tool check shown|hidden
//       fails unless the program is still in that state and no box is open;
//   bench_tool latency run|file STARTUP_DIR TRIES
//       with the program hidden, TRIES times: a new value in the user's Run
//       key (or a new file in the Startup folder), and the milliseconds until
//       the alert's window exists, a line each; then the alert answered, the
//       entry taken away with the window shown and the window hidden again.
//
// Exit code 0 on success, 1 on a failure (said on stderr), 2 on misuse.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

const char kWindowClass[] = "CentinelaForm1";
const char kAlertCaption[] = "Centinela";
const char kDataFile[] = "c:\\windows\\ximvar.dat";
const char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
const char kOpenCommandKey[] = "exefile\\shell\\open\\command";
const char kOpenCommand[] = "C:\\Windows\\cargador.exe \"%1\" %*";
const int kRecords = 30;

struct Place {
  HKEY root;
  const char* key;
  const WCHAR* wideKey;
  REGSAM view;  // 0 where the key has one view only
};

#define RUN_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define POLICIES_RUN_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run"
const char kRun[] = RUN_KEY;
const char kRunServices[] = RUN_KEY "Services";
const char kRunOnce[] = RUN_KEY "Once";
const char kPoliciesRun[] = POLICIES_RUN_KEY;
const WCHAR kRunW[] = L"" RUN_KEY;
const WCHAR kRunServicesW[] = L"" RUN_KEY "Services";
const WCHAR kRunOnceW[] = L"" RUN_KEY "Once";
const WCHAR kPoliciesRunW[] = L"" POLICIES_RUN_KEY;

// The keys of entries in the program's order of reading; the first six take
// the entries, the others are read as the program reads them.
const Place kPlaces[] = {
    {HKEY_LOCAL_MACHINE, kRun, kRunW, KEY_WOW64_64KEY},
    {HKEY_LOCAL_MACHINE, kRun, kRunW, KEY_WOW64_32KEY},
    {HKEY_LOCAL_MACHINE, kRunServices, kRunServicesW, KEY_WOW64_64KEY},
    {HKEY_LOCAL_MACHINE, kRunServices, kRunServicesW, KEY_WOW64_32KEY},
    {HKEY_CURRENT_USER, kRun, kRunW, 0},
    {HKEY_CURRENT_USER, kRunServices, kRunServicesW, 0},
    {HKEY_LOCAL_MACHINE, kRunOnce, kRunOnceW, KEY_WOW64_64KEY},
    {HKEY_LOCAL_MACHINE, kRunOnce, kRunOnceW, KEY_WOW64_32KEY},
    {HKEY_CURRENT_USER, kRunOnce, kRunOnceW, 0},
    {HKEY_LOCAL_MACHINE, kPoliciesRun, kPoliciesRunW, KEY_WOW64_64KEY},
    {HKEY_LOCAL_MACHINE, kPoliciesRun, kPoliciesRunW, KEY_WOW64_32KEY},
    {HKEY_CURRENT_USER, kPoliciesRun, kPoliciesRunW, 0},
};
const int kPlaceCount = sizeof kPlaces / sizeof kPlaces[0];
const int kPopulated = 6;

// The named values the program reads, each key opened once: the open
// commands of the program types, the machine's and the user's, then
// Winlogon's and the Windows key's values.
struct Named {
  HKEY root;
  const WCHAR* key;
  REGSAM view;
  const WCHAR* names[2];
};
#define OPEN_COMMAND(type) type L"\\shell\\open\\command"
#define CLASSES(type) L"Software\\Classes\\" OPEN_COMMAND(type)
const Named kNamed[] = {
    {HKEY_CLASSES_ROOT, OPEN_COMMAND(L"exefile"), 0, {L"", 0}},
    {HKEY_CLASSES_ROOT, OPEN_COMMAND(L"comfile"), 0, {L"", 0}},
    {HKEY_CLASSES_ROOT, OPEN_COMMAND(L"batfile"), 0, {L"", 0}},
    {HKEY_CLASSES_ROOT, OPEN_COMMAND(L"cmdfile"), 0, {L"", 0}},
    {HKEY_CLASSES_ROOT, OPEN_COMMAND(L"piffile"), 0, {L"", 0}},
    {HKEY_CLASSES_ROOT, OPEN_COMMAND(L"scrfile"), 0, {L"", 0}},
    {HKEY_CURRENT_USER, CLASSES(L"exefile"), 0, {L"", 0}},
    {HKEY_CURRENT_USER, CLASSES(L"comfile"), 0, {L"", 0}},
    {HKEY_CURRENT_USER, CLASSES(L"batfile"), 0, {L"", 0}},
    {HKEY_CURRENT_USER, CLASSES(L"cmdfile"), 0, {L"", 0}},
    {HKEY_CURRENT_USER, CLASSES(L"piffile"), 0, {L"", 0}},
    {HKEY_CURRENT_USER, CLASSES(L"scrfile"), 0, {L"", 0}},
    {HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
     KEY_WOW64_64KEY, {L"Shell", L"Userinit"}},
    {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", 0,
     {L"Shell", 0}},
    {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", 0,
     {L"Load", L"Run"}},
};
// The places after them: values named in a key, in the program's order.
#define NT_CV L"Software\\Microsoft\\Windows NT\\CurrentVersion\\"
#define COMMAND_PROCESSOR L"Software\\Microsoft\\Command Processor"
const Named kNamedLater[] = {
    {HKEY_LOCAL_MACHINE, NT_CV L"Windows", KEY_WOW64_64KEY, {L"AppInit_DLLs", 0}},
    {HKEY_LOCAL_MACHINE, NT_CV L"Windows", KEY_WOW64_32KEY, {L"AppInit_DLLs", 0}},
    {HKEY_LOCAL_MACHINE, COMMAND_PROCESSOR, KEY_WOW64_64KEY, {L"AutoRun", 0}},
    {HKEY_LOCAL_MACHINE, COMMAND_PROCESSOR, KEY_WOW64_32KEY, {L"AutoRun", 0}},
    {HKEY_CURRENT_USER, COMMAND_PROCESSOR, 0, {L"AutoRun", 0}},
    {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
     {L"BootExecute", 0}},
};
// Keys whose subkeys are the entries: each subkey opened once, its value read.
const Named kSubkeys[] = {
    {HKEY_LOCAL_MACHINE, NT_CV L"Image File Execution Options", KEY_WOW64_64KEY, {L"Debugger", 0}},
    {HKEY_LOCAL_MACHINE, NT_CV L"Image File Execution Options", KEY_WOW64_32KEY, {L"Debugger", 0}},
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components",
     KEY_WOW64_64KEY, {L"StubPath", 0}},
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components",
     KEY_WOW64_32KEY, {L"StubPath", 0}},
};
const char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services";
const int kServices = 250;
// The Startup folders: the user's, all users'.
const struct {
  HKEY root;
  const WCHAR* value;
} kFolders[] = {{HKEY_CURRENT_USER, L"Startup"}, {HKEY_LOCAL_MACHINE, L"Common Startup"}};

int Fail(const char* what, const char* detail) {
  fprintf(stderr, "bench_tool: %s %s (error %lu)\n", what, detail, GetLastError());
  return 1;
}

std::string Numbered(const char* prefix, int n) {
  char text[64];
  wsprintfA(text, "%s%05d", prefix, n);
  return text;
}

void AppendField(std::string* record, const std::string& text, size_t width) {
  std::string field = text.substr(0, width);
  field.resize(width, ' ');
  *record += field;
}

std::string Record(const char* location, const char* key, const std::string& name,
                   const std::string& path) {
  std::string record;
  AppendField(&record, location, 10);
  AppendField(&record, key, 50);
  AppendField(&record, name, 100);
  AppendField(&record, path, 100);
  return record;
}

bool SetString(HKEY root, const char* key, REGSAM view, const char* name, DWORD type,
               const std::string& text) {
  HKEY opened = 0;
  if (RegCreateKeyExA(root, key, 0, 0, 0, KEY_SET_VALUE | view, 0, &opened, 0) != ERROR_SUCCESS)
    return false;
  const bool ok = RegSetValueExA(opened, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
  RegCloseKey(opened);
  return ok;
}

bool EmptyKey(const Place& place) {
  HKEY key = 0;
  if (RegCreateKeyExA(place.root, place.key, 0, 0, 0, KEY_ALL_ACCESS | place.view, 0, &key, 0) !=
      ERROR_SUCCESS)
    return false;
  for (;;) {
    char name[16384];
    DWORD length = sizeof name;
    LONG status = RegEnumValueA(key, 0, name, &length, 0, 0, 0, 0);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS || RegDeleteValueA(key, name) != ERROR_SUCCESS) {
      RegCloseKey(key);
      return false;
    }
  }
  RegCloseKey(key);
  return true;
}

bool EmptyFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return true;
  bool ok = true;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      ok = DeleteFileA((folder + "\\" + found.cFileName).c_str()) && ok;
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return ok;
}

bool WriteWhole(const char* path, const std::string& bytes) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, 0) &&
                  put == bytes.size();
  CloseHandle(file);
  return ok;
}

// A string value of an open key, "" when there is none.
std::string Text(HKEY key, const char* name) {
  char data[4096];
  DWORD size = sizeof data - 1, type = 0;
  if (RegQueryValueExA(key, name, 0, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
    return "";
  data[size] = 0;
  return data;
}

// The records that validate every automatic service there is, the prefix's
// own among them, as the program lists them.
std::string ServiceRecords() {
  std::string file;
  HKEY services = 0;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServicesKey, 0, KEY_READ, &services) != ERROR_SUCCESS)
    return file;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name, type = 0, start = 0, size = 4;
    if (RegEnumKeyExA(services, i, name, &length, 0, 0, 0, 0) != ERROR_SUCCESS) break;
    HKEY key = 0, parameters = 0;
    if (RegOpenKeyExA(services, name, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    RegQueryValueExA(key, "Type", 0, 0, reinterpret_cast<BYTE*>(&type), &size);
    size = 4;
    RegQueryValueExA(key, "Start", 0, 0, reinterpret_cast<BYTE*>(&start), &size);
    std::string command = Text(key, "ImagePath");
    if ((type & 0x20) && RegOpenKeyExA(key, "Parameters", 0, KEY_READ, &parameters) == ERROR_SUCCESS) {
      const std::string dll = Text(parameters, "ServiceDll");
      if (!dll.empty()) command += " " + dll;
      RegCloseKey(parameters);
    }
    if ((type & 0x30) && !(type & 0x80) && start == 2)
      file += Record("-2147483646", kServicesKey, name, command);
    RegCloseKey(key);
  }
  RegCloseKey(services);
  return file;
}

int Populate(int entries, bool allValidated, const std::string& startup) {
  for (int p = 0; p < kPlaceCount; ++p)
    if (!EmptyKey(kPlaces[p])) return Fail("cannot empty", kPlaces[p].key);
  CreateDirectoryA(startup.substr(0, startup.rfind('\\')).c_str(), 0);
  CreateDirectoryA(startup.c_str(), 0);
  if (!EmptyFolder(startup)) return Fail("cannot empty", startup.c_str());
  // Both settings, so that a shell refreshing one from the other agrees.
  if (!SetString(HKEY_CURRENT_USER, (std::string(kExplorer) + "User Shell Folders").c_str(), 0,
                 "Startup", REG_EXPAND_SZ, startup) ||
      !SetString(HKEY_CURRENT_USER, (std::string(kExplorer) + "Shell Folders").c_str(), 0,
                 "Startup", REG_SZ, startup))
    return Fail("cannot set", "the Startup folder");
  // The last entry is the open command; the others go round the places.
  if (!SetString(HKEY_CLASSES_ROOT, kOpenCommandKey, 0, "", REG_SZ, kOpenCommand))
    return Fail("cannot set", kOpenCommandKey);
  std::string file;
  for (int n = 1; n < entries; ++n) {
    const std::string name = Numbered("Programa ", n);
    const std::string path = "C:\\Archivos de programa\\" + name + "\\programa.exe /minimizado";
    const int place = n % (kPopulated + 1);
    if (place == kPopulated) {
      const std::string lnk = startup + "\\" + name + ".lnk";
      if (!WriteWhole(lnk.c_str(), "L")) return Fail("cannot write", lnk.c_str());
      if (allValidated) file += Record(startup.c_str(), "", name + ".lnk", name + ".lnk");
      continue;
    }
    const Place& at = kPlaces[place];
    if (!SetString(at.root, at.key, at.view, name.c_str(), REG_SZ, path))
      return Fail("cannot set a value in", at.key);
    if (allValidated)
      file += Record(at.root == HKEY_LOCAL_MACHINE ? "-2147483646" : "-2147483647", at.key, name,
                     path);
  }
  if (allValidated) {
    file += Record("-2147483648", "", kOpenCommand, kOpenCommand);
  } else {
    for (int r = 1; r <= kRecords; ++r)
      file += Record("-2147483647", kRun, Numbered("Antiguo ", r), "C:\\antiguo.exe");
  }
  // Automatic services, each a key of its own, from 300 entries on: a real
  // system has a few hundred keys there.
  for (int n = 1; entries >= 300 && n <= kServices; ++n) {
    const std::string key = std::string(kServicesKey) + "\\" + Numbered("Servicio", n);
    const std::string image = "C:\\Archivos de programa\\" + Numbered("Servicio", n) + ".exe";
    const DWORD type = 0x10, start = 2;
    HKEY opened = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, 0, 0, KEY_SET_VALUE, 0, &opened, 0) !=
        ERROR_SUCCESS)
      return Fail("cannot make", key.c_str());
    RegSetValueExA(opened, "Type", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&type), 4);
    RegSetValueExA(opened, "Start", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&start), 4);
    RegCloseKey(opened);
    if (!SetString(HKEY_LOCAL_MACHINE, key.c_str(), 0, "ImagePath", REG_EXPAND_SZ, image))
      return Fail("cannot set ImagePath in", key.c_str());
  }
  if (allValidated) file += ServiceRecords();
  if (!WriteWhole(kDataFile, file)) return Fail("cannot write", kDataFile);
  return 0;
}

// The named values of one key, each read once; returns how many were there.
int ReadNamed(HKEY key, const WCHAR* const* names, int count, BYTE* data) {
  int seen = 0;
  for (int i = 0; i < count; ++i) {
    DWORD size = 4096;
    if (names[i] && RegQueryValueExW(key, names[i], 0, 0, data, &size) == ERROR_SUCCESS) ++seen;
  }
  return seen;
}

// Every subkey of `key` opened once and `name` read in it; for the services,
// Type and Start, and ImagePath (with Parameters' ServiceDll for a shared
// process) where the service starts by itself.
int ReadSubkeys(HKEY key, REGSAM view, const WCHAR* name, BYTE* data) {
  int seen = 0;
  WCHAR sub[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, sub, &length, 0, 0, 0, 0) != ERROR_SUCCESS) break;
    HKEY opened = 0;
    if (RegOpenKeyExW(key, sub, 0, KEY_READ | view, &opened) != ERROR_SUCCESS) continue;
    if (name) {
      seen += ReadNamed(opened, &name, 1, data);
    } else {
      DWORD type = 0, start = 0, size = 4;
      RegQueryValueExW(opened, L"Type", 0, 0, reinterpret_cast<BYTE*>(&type), &size);
      size = 4;
      if ((type & 0x30) && !(type & 0x80) &&
          RegQueryValueExW(opened, L"Start", 0, 0, reinterpret_cast<BYTE*>(&start), &size) ==
              ERROR_SUCCESS &&
          start == 2) {
        const WCHAR* image = L"ImagePath";
        seen += ReadNamed(opened, &image, 1, data);
        HKEY parameters = 0;
        const WCHAR* dll = L"ServiceDll";
        if ((type & 0x20) &&
            RegOpenKeyExW(opened, L"Parameters", 0, KEY_READ, &parameters) == ERROR_SUCCESS) {
          ReadNamed(parameters, &dll, 1, data);
          RegCloseKey(parameters);
        }
      }
    }
    RegCloseKey(opened);
  }
  return seen;
}

// One tick's bare reads; returns the entries they saw.
int Floor() {
  int seen = 0;
  WCHAR name[16384];
  BYTE data[4096];
  for (int p = 0; p < kPlaceCount; ++p) {
    HKEY key = 0;
    if (RegOpenKeyExW(kPlaces[p].root, kPlaces[p].wideKey, 0, KEY_READ | kPlaces[p].view, &key) != ERROR_SUCCESS)
      continue;
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name / sizeof name[0], type = 0, size = sizeof data;
      LONG status = RegEnumValueW(key, i, name, &length, 0, &type, data, &size);
      if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) break;
      ++seen;
    }
    RegCloseKey(key);
  }
  for (const auto& at : kFolders) {
    WCHAR folder[MAX_PATH + 4];
    DWORD size = sizeof folder - 8;
    HKEY key = 0;
    LONG status = RegOpenKeyExW(
        at.root, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
        KEY_READ, &key);
    if (status == ERROR_SUCCESS)
      status = RegQueryValueExW(key, at.value, 0, 0, reinterpret_cast<BYTE*>(folder), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) continue;
    folder[size / 2] = 0;
    lstrcatW(folder, L"\\*");
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(folder, &found);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if (!(found.dwFileAttributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        ++seen;
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  for (const Named& at : kNamed) {
    HKEY key = 0;
    if (RegOpenKeyExW(at.root, at.key, 0, KEY_READ | at.view, &key) != ERROR_SUCCESS) continue;
    seen += ReadNamed(key, at.names, 2, data);
    RegCloseKey(key);
  }
  HKEY key = 0;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServicesKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    seen += ReadSubkeys(key, 0, 0, data);
    RegCloseKey(key);
  }
  for (const Named& at : kSubkeys) {
    if (RegOpenKeyExW(at.root, at.key, 0, KEY_READ | at.view, &key) != ERROR_SUCCESS) continue;
    seen += ReadSubkeys(key, at.view, at.names[0], data);
    RegCloseKey(key);
  }
  for (const Named& at : kNamedLater) {
    if (RegOpenKeyExW(at.root, at.key, 0, KEY_READ | at.view, &key) != ERROR_SUCCESS) continue;
    seen += ReadNamed(key, at.names, 2, data);
    RegCloseKey(key);
  }
  return seen;
}

int Resident(UINT milliseconds) {
  printf("floor: %d entries\n", Floor());
  fflush(stdout);
  if (milliseconds > 0) SetTimer(0, 0, milliseconds, 0);
  MSG msg;
  while (GetMessageA(&msg, 0, 0, 0) > 0)
    if (msg.message == WM_TIMER) Floor();
  return 0;
}

HWND Program() { return FindWindowA(kWindowClass, 0); }
HWND Alert() { return FindWindowA("#32770", kAlertCaption); }

// Waits up to `seconds` for `ready` to hold.
template <typename Ready>
bool WaitFor(int seconds, Ready ready) {
  for (int i = 0; i < seconds * 20; ++i) {
    if (ready()) return true;
    Sleep(50);
  }
  return false;
}

int Show(int seconds) {
  // At start-up an unvalidated entry raises the alert before the window.
  if (!WaitFor(seconds, [] { return Alert() != 0 || (Program() && IsWindowVisible(Program())); }))
    return Fail("the program did not come up in time", "");
  if (HWND box = Alert()) PostMessageA(box, WM_COMMAND, IDOK, 0);
  if (!WaitFor(seconds, [] { return !Alert() && Program() && IsWindowVisible(Program()); }))
    return Fail("the window is not shown", "");
  return 0;
}

int Hide(int seconds) {
  if (!WaitFor(seconds, [] { return Alert() != 0 || (Program() && IsWindowVisible(Program())); }))
    return Fail("the program did not come up in time", "");
  if (Alert()) return Fail("an alert came although every entry is validated:", kDataFile);
  PostMessageA(Program(), WM_SYSCOMMAND, SC_CLOSE, 0);
  if (!WaitFor(seconds, [] { return !IsWindowVisible(Program()); }))
    return Fail("the window did not hide", "");
  return 0;
}

int Check(bool shown) {
  HWND program = Program();
  if (!program) return Fail("the program is gone", "");
  if (Alert()) return Fail("an alert is open", "");
  if ((IsWindowVisible(program) != 0) != shown) return Fail("the window changed state", "");
  return 0;
}

int Latency(bool file, const std::string& startup, int tries) {
  if (!WaitFor(60, [] { return Program() && !IsWindowVisible(Program()) && !Alert(); }))
    return Fail("the program is not hidden", "");
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < tries; ++i) {
    char name[32];
    wsprintfA(name, "latencia%d", i);
    const std::string path = startup + "\\" + name + ".lnk";
    QueryPerformanceCounter(&start);
    if (!(file ? WriteWhole(path.c_str(), "x")
               : SetString(HKEY_CURRENT_USER, kRun, 0, name, REG_SZ, "c:\\x.exe")))
      return Fail("cannot make", name);
    // Looked for every millisecond: WaitFor's steps would round the figure.
    do {
      Sleep(1);
      QueryPerformanceCounter(&now);
      if (now.QuadPart - start.QuadPart > 10 * frequency.QuadPart) return Fail("no alert for", name);
    } while (!Alert());
    printf("%.1f\n", 1000.0 * (now.QuadPart - start.QuadPart) / frequency.QuadPart);
    PostMessageA(Alert(), WM_COMMAND, IDOK, 0);
    if (!WaitFor(10, [] { return !Alert() && IsWindowVisible(Program()); }))
      return Fail("the window did not come after the alert", "");
    HKEY run = 0;
    RegOpenKeyExA(HKEY_CURRENT_USER, kRun, 0, KEY_SET_VALUE, &run);
    if (!(file ? DeleteFileA(path.c_str()) : RegDeleteValueA(run, name) == ERROR_SUCCESS))
      return Fail("cannot take away", name);
    RegCloseKey(run);
    // Its rescan while shown, then hidden from outside: nothing left pending.
    Sleep(1000);
    ShowWindow(Program(), SW_HIDE);
    Sleep(500);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "populate" && argc == 5)
    return Populate(atoi(argv[2]), strcmp(argv[3], "hidden") == 0, argv[4]);
  if (command == "floor" && argc == 3) return Resident(static_cast<UINT>(atoi(argv[2])));
  if (command == "show" && argc == 3) return Show(atoi(argv[2]));
  if (command == "hide" && argc == 3) return Hide(atoi(argv[2]));
  if (command == "check" && argc == 3) return Check(strcmp(argv[2], "shown") == 0);
  if (command == "latency" && argc == 5)
    return Latency(strcmp(argv[2], "file") == 0, argv[3], atoi(argv[4]));
  fprintf(stderr, "usage: bench_tool populate N shown|hidden DIR | floor MS | show S | hide S | "
                  "check shown|hidden | latency run|file DIR TRIES\n");
  return 2;
}
