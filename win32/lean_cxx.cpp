// The C++ support of a program built without exceptions and without a C
// runtime: allocation over the process heap, the failure entries the
// library's templates call, and registration of static destructors.
#include <windows.h>

#include <cstddef>
#include <new>

#include "win32/lean_cxx.h"

// Allocation never throws: a failed allocation gives null. `new T` checks
// for it before constructing (-fcheck-new); callers that can go on without
// the memory check the pointer.
void* operator new(std::size_t size) { return HeapAlloc(GetProcessHeap(), 0, size != 0 ? size : 1); }
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return operator new(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return operator new(size); }
void operator delete(void* p) noexcept {
  if (p != nullptr) HeapFree(GetProcessHeap(), 0, p);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace tw::win32 {

[[noreturn]] void fatalLibraryFault(const char* what) {
  // No exception can carry it: the process ends with the reason shown.
  FatalAppExitA(0, what);
  ExitProcess(3);
}

namespace {

// Static destructors, run in reverse order by runExitHandlers().
using ExitHandler = void (*)();
constexpr int kFixedHandlers = 32;
ExitHandler gFixed[kFixedHandlers];
ExitHandler* gHandlers = gFixed;
int gHandlerCount = 0;
int gHandlerCapacity = kFixedHandlers;

}  // namespace

void runExitHandlers() {
  while (gHandlerCount > 0) gHandlers[--gHandlerCount]();
}

}  // namespace tw::win32

// The template code of the C++ library calls these where it would throw.
// Without exceptions the process ends instead; none of them is reached by a
// correct program short of memory exhaustion.
namespace std {
void __throw_bad_alloc() { tw::win32::fatalLibraryFault("Nicht genug Speicher."); }
void __throw_bad_array_new_length() { tw::win32::fatalLibraryFault("Nicht genug Speicher."); }
void __throw_length_error(const char*) { tw::win32::fatalLibraryFault("Nicht genug Speicher."); }
void __throw_logic_error(const char* what) { tw::win32::fatalLibraryFault(what); }
void __throw_out_of_range(const char* what) { tw::win32::fatalLibraryFault(what); }
void __throw_out_of_range_fmt(const char* what, ...) { tw::win32::fatalLibraryFault(what); }
void __throw_invalid_argument(const char* what) { tw::win32::fatalLibraryFault(what); }
void __throw_bad_function_call() { tw::win32::fatalLibraryFault("bad_function_call"); }
void __throw_bad_optional_access() { tw::win32::fatalLibraryFault("bad_optional_access"); }
}  // namespace std

extern "C" int atexit(void (*handler)()) {
  using namespace tw::win32;
  if (gHandlerCount == gHandlerCapacity) {
    const int capacity = gHandlerCapacity * 2;
    auto* grown = static_cast<ExitHandler*>(HeapAlloc(GetProcessHeap(), 0, capacity * sizeof(ExitHandler)));
    if (grown == nullptr) return -1;
    for (int i = 0; i < gHandlerCount; ++i) grown[i] = gHandlers[i];
    if (gHandlers != gFixed) HeapFree(GetProcessHeap(), 0, gHandlers);
    gHandlers = grown;
    gHandlerCapacity = capacity;
  }
  gHandlers[gHandlerCount++] = handler;
  return 0;
}
