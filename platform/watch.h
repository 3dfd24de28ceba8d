// Watches on keys and folders: handles the system signals when one changes,
// for the main loop to wait on with its messages. Every key shares one event,
// so the wait holds that event and one handle a folder, far below the 64
// handles one wait takes.
#pragma once
#include <stdint.h>

#include <string>

#include "platform/registry.h"

namespace plat {

const unsigned kMaxKeyWatches = 64;
const unsigned kMaxPath = 260;
const unsigned kMaxFolderWatches = 4;

// The owner of every handle of its watches.
class Watches {
 public:
  Watches() : keys_(0), n_(0) {}
  ~Watches() { Close(); }
  Watches(const Watches&) = delete;
  Watches& operator=(const Watches&) = delete;
  // Ends every watch; the new ones share a new event.
  void Clear();
  // Watches names, values and (with `subtree`) subkeys of root\path in the
  // view (0 or a KEY_WOW64 flag); a missing key through its nearest existing
  // parent, whose new subkey tells of its creation. False when it cannot be
  // watched (Windows 95, access refused, no room left).
  bool AddKey(int32_t root, const char* path, REGSAM view, bool subtree);
  // Watches the names of the folder's files; false when it cannot be watched.
  bool AddFolder(const std::string& path);
  // Handle i (below Count()) of the wait fired: a folder's is armed again at
  // once, or it would stay signalled.
  void Fired(unsigned i);
  // The handles to wait on: the keys' event first, then the folders'.
  unsigned Count() const { return n_; }
  void* const* Handles() const { return wait_; }

 private:
  void Close();

  HKEY key_[kMaxKeyWatches];  // open while watched: closing one ends its watch
  void* wait_[1 + kMaxFolderWatches];  // the keys' event, then the folders'
  unsigned keys_, n_;
};

}  // namespace plat
