// The exact name of a registry value or a Startup file, as the system holds
// it: on NT-family Windows its UTF-16 form, on Windows 9x its ANSI bytes. The
// table shows names in the code page, which loses characters and cannot show
// a NUL; a row keeps the exact name beside it, so that every action addresses
// the very value or file that was listed.
#pragma once
#include <stddef.h>

#include <string>

// 'W' then wide text (platform/text.h), or 'A' then ANSI bytes.
const char kExactoWide = 'W';
const char kExactoAnsi = 'A';

std::string ExactoDeWide(const std::string& wide);
std::string ExactoDeAnsi(const std::string& ansi);

// The name a person reads: the code page's text, '?' for what it lacks and a
// visible mark for a NUL.
std::string NombreVisible(const std::string& exacto);

// The ANSI bytes that name it exactly through the ANSI functions; false when
// none do (a NUL inside, a character outside the code page).
bool AnsiExacto(const std::string& exacto, std::string* ansi);
// Its wide text; false for an ANSI name on a system without wide names.
bool WideExacto(const std::string& exacto, std::string* wide);

// What the data file's name field (kAnchoNombre bytes, space-padded) holds
// for it: the ANSI name wherever one names it exactly, as it always was;
// otherwise, and for a name whose last blank the padding would swallow, a NUL
// (which no ANSI name holds) and the exact form, so that it never matches
// another name.
const size_t kAnchoNombre = 100;
std::string ClaveDeExacto(const std::string& exacto);
