// Why a file operation failed: the Windows error codes the file functions
// report (platform/files.h), which the core puts into words (core/errtext.h).
#pragma once
#include <stdint.h>

namespace plat {

// No error from the system, yet the file is still there (one marked for
// deletion while another program holds it open).
const uint32_t kErrStillThere = 0;

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

}  // namespace plat
