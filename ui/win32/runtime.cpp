// The parts of the C++ runtime the program supplies itself. libstdc++'s own
// versions throw, and linking them drags in the whole exception runtime and the
// demangler (150-225 KB) plus imports that Windows 9x lacks. Every failure here
// ends the program: it has no exceptions to report it by.
// Linked into centinela.exe only, never into the test executables.
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

void* Allocate(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }

void* AllocateOrDie(size_t size) {
  void* p = Allocate(size);
  if (!p) Die("out of memory");
  return p;
}

void Release(void* p) {
  if (p) HeapFree(GetProcessHeap(), 0, p);
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
