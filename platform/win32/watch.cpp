// Watches through RegNotifyChangeKeyValue, looked up at run time (Windows 95
// lacks it), and FindFirstChangeNotificationA. The build names Windows 95 as
// the target, so nothing newer compiles in by mistake.
#include "platform/watch.h"

#include <windows.h>

#include "platform/win32/wide_api.h"

namespace plat {

void Watches::Close() {
  // The event goes before the keys: a closed key may signal it.
  if (n_) CloseHandle(wait_[0]);
  for (unsigned i = 1; i < n_; ++i) FindCloseChangeNotification(wait_[i]);
  for (unsigned i = 0; i < keys_; ++i) RegCloseKey(key_[i]);
  keys_ = n_ = 0;
}

void Watches::Clear() {
  Close();
  wait_[0] = CreateEventA(0, FALSE, FALSE, 0);
  if (wait_[0]) n_ = 1;
}

bool Watches::AddKey(int32_t root, const char* path, REGSAM view, bool subtree) {
  const auto notify = win32::Wide().RegNotifyChangeKeyValue;
  if (!notify || !n_ || keys_ == kMaxKeyWatches) return false;
  char p[kMaxPath];
  unsigned n = 0;
  while (n < kMaxPath - 1 && (p[n] = path[n]) != 0) ++n;
  p[n] = 0;
  HKEY key = 0;
  LONG status;
  // Up to the nearest key there is; a key that refuses us is not watched.
  while ((status = RegOpenKeyExA(RootKey(root), p, 0, KEY_NOTIFY | view, &key)) ==
             kErrorFileNotFound &&
         n) {
    while (n && p[--n] != '\\') {
    }
    p[n] = 0;
    subtree = false;
  }
  if (status != kErrorSuccess) return false;
  key_[keys_++] = key;
  return notify(reinterpret_cast< ::HKEY>(key), subtree,
                REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, wait_[0],
                TRUE) == ERROR_SUCCESS;
}

bool Watches::AddFolder(const std::string& path) {
  if (n_ - 1 >= kMaxFolderWatches) return false;  // no event, or no room
  HANDLE change = FindFirstChangeNotificationA(path.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
  if (change == INVALID_HANDLE_VALUE) return false;
  wait_[n_++] = change;
  return true;
}

void Watches::Fired(unsigned i) {
  if (i > 0) FindNextChangeNotification(wait_[i]);
}

}  // namespace plat
