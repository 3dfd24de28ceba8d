#include "core/vigilancia.h"

// A view's KEY_WOW64 flag is its number times 256.
static_assert(kRegView64 << 8 == plat::kKeyWow64_64Key && kRegView32 << 8 == plat::kKeyWow64_32Key &&
                  kRegViewDefault == 0,
              "views number as their flags");

void Vigilancia::Empezar() {
  // Every key shares one event: after it fired, none is known to be armed.
  armando_ = disparada_ || incompleta_;
  if (armando_) vigias_.Clear();
  pendiente_ = incompleta_ = disparada_ = false;
  ticks_ = 0;
}

void Vigilancia::Clave(int32_t root, const char* key, RegView vista, bool subarbol) {
  if (armando_ && !vigias_.AddKey(root, key, vista << 8, subarbol)) incompleta_ = true;
}

void Vigilancia::Carpeta(const std::string& carpeta) {
  if (armando_ && !vigias_.AddFolder(carpeta)) incompleta_ = true;
}

void Vigilancia::Disparada(unsigned i) {
  vigias_.Fired(i);
  pendiente_ = disparada_ = true;
}

bool Vigilancia::Toca() { return pendiente_ || incompleta_ || ++ticks_ >= kTicksGuardia; }
