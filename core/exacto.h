// The exact name of a registry value, a key or a Startup file, as the system
// holds it: on NT-family Windows its UTF-16 form, on Windows 9x its ANSI
// bytes. The table shows names in the code page, which loses characters and
// cannot show a NUL; a row keeps the exact name beside it, so that every
// action addresses the very value, key or file that was listed.
#pragma once
#include <stddef.h>

#include <string>

// The width of the data file's name field, which is padded with blanks.
const size_t kAnchoNombre = 100;

class Exacto {
 public:
  Exacto() : wide_(false) {}
  static Exacto DeWide(const std::string& wide) { return Exacto(wide, true); }
  static Exacto DeAnsi(const std::string& ansi) { return Exacto(ansi, false); }

  // The row's hidden column holds it as text, and the data file holds that
  // text for a name no ANSI name gives: its form stays as stored files have it.
  std::string Celda() const;
  static Exacto DeCelda(const std::string& celda);

  // The name a person reads: the code page's text, '?' for what it lacks and
  // a visible mark for a NUL.
  std::string Visible() const;
  // The ANSI bytes that name it exactly through the ANSI functions; false
  // when none do (a NUL inside, a character outside the code page).
  bool Ansi(std::string* ansi) const;
  // Its wide text; false for an ANSI name on a system without wide names.
  bool Wide(std::string* wide) const;
  // The same ended by its zero, for the system's calls.
  std::string WideCero() const;

  // The data file's name field for it: the ANSI name wherever one names it
  // exactly, as it always was; otherwise, and for a name whose last blank
  // the padding would swallow, a NUL (which no ANSI name holds) and its
  // column's text, so that it never matches another name.
  std::string Clave() const;

 private:
  Exacto(const std::string& texto, bool wide) : texto_(texto), wide_(wide) {}

  std::string texto_;
  bool wide_;
};
