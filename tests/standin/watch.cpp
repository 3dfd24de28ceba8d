// Watches in memory: a key is watched unless the stand-in registry refuses
// to open it (missing is fine: its parent would be watched); the handles are
// none: tests fire them by hand.
#include "platform/watch.h"

#include "tests/standin/standin.h"

namespace plat {

void Watches::Close() { keys_ = n_ = 0; }
void Watches::Clear() { Close(); }

bool Watches::AddKey(int32_t root, const char* path, REGSAM view, bool) {
  HKEY key = 0;
  const LONG status = RegOpenKeyExA(RootKey(root), path, 0, kKeyRead | view, &key);
  OwnedKey opened(key);  // a watch holds no handle a test counts
  if (!standin::WatchesWork() || (status && status != kErrorFileNotFound) || keys_ == kMaxKeyWatches)
    return false;
  key_[keys_++] = 0;
  return true;
}

bool Watches::AddFolder(const std::string&) { return true; }

void Watches::Fired(unsigned) {}

}  // namespace plat
