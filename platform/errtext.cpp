#include "platform/errtext.h"

#include "core/strutil.h"
#include "core/texts.h"

namespace plat {

std::string SystemErrorText(uint32_t code) {
  switch (code) {
    case kErrFileNotFound: return txt::kErrArchivoNoEncontrado;
    case kErrPathNotFound: return txt::kErrRutaNoEncontrada;
    case kErrAccessDenied: return txt::kErrAccesoDenegado;
    case kErrWriteProtect: return txt::kErrProtegidoEscritura;
    case kErrSharingViolation:
    case kErrLockViolation: return txt::kErrEnUso;
    case kErrHandleDiskFull:
    case kErrDiskFull: return txt::kErrDiscoLleno;
    case kErrInvalidName:
    case kErrBadPathname: return txt::kErrNombreNoValido;
    default: return txt::kErrSistemaBefore + DecimalText(code) + txt::kErrSistemaAfter;
  }
}

}  // namespace plat
