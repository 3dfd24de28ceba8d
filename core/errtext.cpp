#include "core/errtext.h"

#include "core/strutil.h"
#include "core/texts.h"
#include "platform/errors.h"

namespace {

struct Reason {
  uint32_t code;
  const char* text;
};

const Reason kReasons[] = {
    {plat::kErrStillThere, txt::kErrSigueAhi},
    {plat::kErrFileNotFound, txt::kErrArchivoNoEncontrado},
    {plat::kErrPathNotFound, txt::kErrRutaNoEncontrada},
    {plat::kErrAccessDenied, txt::kErrAccesoDenegado},
    {plat::kErrWriteProtect, txt::kErrProtegidoEscritura},
    {plat::kErrSharingViolation, txt::kErrEnUso},
    {plat::kErrLockViolation, txt::kErrEnUso},
    {plat::kErrHandleDiskFull, txt::kErrDiscoLleno},
    {plat::kErrDiskFull, txt::kErrDiscoLleno},
    {plat::kErrInvalidName, txt::kErrNombreNoValido},
    {plat::kErrBadPathname, txt::kErrNombreNoValido},
};

}  // namespace

std::string SystemErrorText(uint32_t code) {
  for (size_t i = 0; i < sizeof kReasons / sizeof kReasons[0]; ++i)
    if (kReasons[i].code == code) return kReasons[i].text;
  return txt::kErrSistemaBefore + DecimalText(code) + txt::kErrSistemaAfter;
}
