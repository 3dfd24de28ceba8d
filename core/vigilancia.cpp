#include "core/vigilancia.h"

// A view's KEY_WOW64 flag is its number times 256.
static_assert(kRegView64 << 8 == plat::kKeyWow64_64Key && kRegView32 << 8 == plat::kKeyWow64_32Key &&
                  kRegViewDefault == 0,
              "views number as their flags");

void Vigilancia::Empezar() {
  vigias_.Clear();
  pendiente_ = incompleta_ = false;
  ticks_ = 0;
}

void Vigilancia::Clave(int32_t root, const char* key, RegView vista, bool subarbol) {
  if (!vigias_.AddKey(root, key, vista << 8, subarbol)) incompleta_ = true;
}

void Vigilancia::Carpeta(const std::string& carpeta) {
  if (!vigias_.AddFolder(carpeta)) incompleta_ = true;
}

void Vigilancia::Disparada(unsigned i) {
  vigias_.Fired(i);
  pendiente_ = true;
}

bool Vigilancia::Toca() { return pendiente_ || incompleta_ || ++ticks_ >= kTicksGuardia; }
