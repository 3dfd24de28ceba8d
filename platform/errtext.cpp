#include "platform/errtext.h"

#include "core/strutil.h"
#include "core/texts.h"

namespace plat {
namespace {

struct Reason {
  uint32_t code;
  const char* text;
};

const Reason kReasons[] = {
    {kErrFileNotFound, txt::kErrArchivoNoEncontrado},
    {kErrPathNotFound, txt::kErrRutaNoEncontrada},
    {kErrAccessDenied, txt::kErrAccesoDenegado},
    {kErrWriteProtect, txt::kErrProtegidoEscritura},
    {kErrSharingViolation, txt::kErrEnUso},
    {kErrLockViolation, txt::kErrEnUso},
    {kErrHandleDiskFull, txt::kErrDiscoLleno},
    {kErrDiskFull, txt::kErrDiscoLleno},
    {kErrInvalidName, txt::kErrNombreNoValido},
    {kErrBadPathname, txt::kErrNombreNoValido},
};

}  // namespace

std::string SystemErrorText(uint32_t code) {
  for (size_t i = 0; i < sizeof kReasons / sizeof kReasons[0]; ++i)
    if (kReasons[i].code == code) return kReasons[i].text;
  return txt::kErrSistemaBefore + DecimalText(code) + txt::kErrSistemaAfter;
}

}  // namespace plat
