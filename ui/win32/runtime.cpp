// The program's own runtime: its start-up and the few C and C++ library
// functions the compiler and the headers call. The C runtime's start-up and
// msvcrt.dll cost a sixth of the file, and a retail Windows 95 has no
// msvcrt.dll; libstdc++'s own versions throw, and linking them drags in the
// whole exception runtime and the demangler (150-225 KB). Every failure here
// ends the program: it has no exceptions to report it by.
// Linked into the program and its measured copies only, never into the test
// executables.
#include <windows.h>

#include <new>
#include <string>

#if defined(UNICODE) || defined(_UNICODE)
#error "the program uses the ANSI API only"
#endif

// The library's own instantiation is compiled with exceptions; this one is not.
template class std::__cxx11::basic_string<char>;

namespace {

__attribute__((__noreturn__)) void Die(const char* what) {
  FatalAppExitA(0, what);
  ExitProcess(3);
}

// Every tick frees and makes again the same thousands of small strings, and a
// heap call takes its lock and searches each time: small blocks freed are kept
// for reuse by size class (the class in a header that keeps the heap's
// alignment). The program has one thread.
const size_t kHeader = 2 * sizeof(void*);
const size_t kStep = 16;
const size_t kClasses = 16;
void* g_libres[kClasses];

void* Allocate(size_t size) {
  // Class 0: too large for a class, straight from and back to the heap.
  const size_t c =
      size <= (kClasses - 1) * kStep - kHeader ? (size + kHeader + kStep - 1) / kStep : 0;
  void** block = static_cast<void**>(g_libres[c]);
  if (c && block) {
    g_libres[c] = *block;
  } else {
    if (size > ~kHeader) return nullptr;
    block = static_cast<void**>(HeapAlloc(GetProcessHeap(), 0, c ? c * kStep : size + kHeader));
    if (!block) return nullptr;
  }
  *reinterpret_cast<size_t*>(block) = c;
  return reinterpret_cast<char*>(block) + kHeader;
}

void* AllocateOrDie(size_t size) {
  void* p = Allocate(size);
  if (!p) Die("out of memory");
  return p;
}

void Release(void* p) {
  if (!p) return;
  void** block = reinterpret_cast<void**>(static_cast<char*>(p) - kHeader);
  const size_t c = *reinterpret_cast<size_t*>(block);
  if (c == 0) {
    HeapFree(GetProcessHeap(), 0, block);
  } else {
    *block = g_libres[c];
    g_libres[c] = block;
  }
}

}  // namespace

void* operator new(size_t size) { return AllocateOrDie(size); }
void* operator new[](size_t size) { return AllocateOrDie(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }

extern "C" void __cxa_pure_virtual() { Die("pure virtual call"); }
extern "C" void __cxa_deleted_virtual() { Die("deleted virtual call"); }

// Declared in <bits/functexcept.h>; all of them, so that the library's object
// defining them is never pulled in.
namespace std {
void __throw_bad_exception() { Die("bad_exception"); }
void __throw_bad_alloc() { Die("out of memory"); }
void __throw_bad_array_new_length() { Die("bad_array_new_length"); }
void __throw_bad_cast() { Die("bad_cast"); }
void __throw_bad_typeid() { Die("bad_typeid"); }
void __throw_logic_error(const char* what) { Die(what); }
void __throw_domain_error(const char* what) { Die(what); }
void __throw_invalid_argument(const char* what) { Die(what); }
void __throw_length_error(const char* what) { Die(what); }
void __throw_out_of_range(const char* what) { Die(what); }
void __throw_out_of_range_fmt(const char* what, ...) { Die(what); }
void __throw_runtime_error(const char* what) { Die(what); }
void __throw_range_error(const char* what) { Die(what); }
void __throw_overflow_error(const char* what) { Die(what); }
void __throw_underflow_error(const char* what) { Die(what); }
void __throw_ios_failure(const char* what) { Die(what); }
void __throw_ios_failure(const char* what, int) { Die(what); }
void __throw_system_error(int) { Die("system_error"); }
void __throw_future_error(int) { Die("future_error"); }
void __throw_bad_function_call() { Die("bad_function_call"); }
}  // namespace std

// Called by the compiler and by std::string and std::vector. Written as plain
// loops that GCC must not turn back into calls to themselves.
#pragma GCC push_options
#pragma GCC optimize("no-tree-loop-distribute-patterns")
extern "C" {

void* memset(void* dest, int c, size_t n) {
  void* d = dest;
  __asm__ volatile("rep stosb" : "+D"(d), "+c"(n) : "a"(c) : "memory");
  return dest;
}

void* memcpy(void* dest, const void* src, size_t n) {
  unsigned char* d = static_cast<unsigned char*>(dest);
  const unsigned char* s = static_cast<const unsigned char*>(src);
  while (n--) *d++ = *s++;
  return dest;
}

void* memmove(void* dest, const void* src, size_t n) {
  unsigned char* d = static_cast<unsigned char*>(dest);
  const unsigned char* s = static_cast<const unsigned char*>(src);
  if (d <= s || d >= s + n) return memcpy(dest, src, n);
  while (n--) d[n] = s[n];
  return dest;
}

int memcmp(const void* a, const void* b, size_t n) {
  const unsigned char* p = static_cast<const unsigned char*>(a);
  const unsigned char* q = static_cast<const unsigned char*>(b);
  // Whole words while they agree (a tick compares the data file whole); the
  // bytes then tell the order.
  typedef size_t __attribute__((may_alias, aligned(1))) Word;
  for (; n >= sizeof(Word) && *reinterpret_cast<const Word*>(p) == *reinterpret_cast<const Word*>(q);
       n -= sizeof(Word), p += sizeof(Word), q += sizeof(Word)) {
  }
  for (; n; --n, ++p, ++q)
    if (*p != *q) return *p - *q;
  return 0;
}

void* memchr(const void* s, int c, size_t n) {
  const unsigned char* p = static_cast<const unsigned char*>(s);
  for (; n; --n, ++p)
    if (*p == static_cast<unsigned char>(c)) return const_cast<unsigned char*>(p);
  return nullptr;
}

size_t strlen(const char* s) {
  const char* end = s;
  while (*end) ++end;
  return end - s;
}

}  // extern "C"
#pragma GCC pop_options

// The linker's list of static constructors, run last to first as GCC expects.
// Nothing registers a destructor: the program ends through ExitProcess, and a
// static that needed one would fail the link on atexit.
typedef void (*StaticConstructor)();
extern "C" StaticConstructor __CTOR_LIST__[];

namespace {

// The command line past the program's name, as the C runtime passes it on:
// the name ends at a blank outside quotes (bytes above 0x7F are not blanks).
LPSTR CommandTail() {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(GetCommandLineA());
  bool quoted = false;
  for (; *p > ' ' || (*p && quoted); ++p)
    if (*p == '"') quoted = !quoted;
  while (*p && *p <= ' ') ++p;
  return reinterpret_cast<LPSTR>(const_cast<unsigned char*>(p));
}

}  // namespace

// The program's entry point (the link names it), in place of the C runtime's.
extern "C" void ProgramEntry() {
  StaticConstructor* last = __CTOR_LIST__ + 1;
  while (*last) ++last;
  while (--last != __CTOR_LIST__) (*last)();

  STARTUPINFOA startup;
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
  ExitProcess(WinMain(GetModuleHandleA(nullptr), nullptr, CommandTail(), show));
}
