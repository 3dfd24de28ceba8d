// The reason for a failed file operation, as a Spanish sentence (CP1252),
// from the Windows error code; the stand-in turns errno into the same codes.
#pragma once
#include <stdint.h>

#include <string>

namespace plat {

const uint32_t kErrFileNotFound = 2;
const uint32_t kErrPathNotFound = 3;
const uint32_t kErrAccessDenied = 5;
const uint32_t kErrWriteProtect = 19;
const uint32_t kErrSharingViolation = 32;
const uint32_t kErrLockViolation = 33;
const uint32_t kErrHandleDiskFull = 39;
const uint32_t kErrInvalidParameter = 87;
const uint32_t kErrDiskFull = 112;
const uint32_t kErrInvalidName = 123;
const uint32_t kErrBadPathname = 161;

std::string SystemErrorText(uint32_t code);

}  // namespace plat
