// Static locals that are started on first use: the replayer's may first be reached on the sound
// thread. One critical section serialises every first use; it is re-entrant, so a static whose
// start reaches another static still starts.
#include <windows.h>

#include <cxxabi.h>

#include "platform/windows/runtime/runtime.h"

namespace {

CRITICAL_SECTION first_use;

// The compiler tests the guard's first byte itself and calls acquire only while it is 0.
bool started(const __cxxabiv1::__guard* guard) {
  return *reinterpret_cast<const volatile char*>(guard) != 0;
}

}  // namespace

void runtime::start_static_guards() { InitializeCriticalSection(&first_use); }

extern "C" int __cxxabiv1::__cxa_guard_acquire(__guard* guard) {
  if (started(guard)) return 0;
  EnterCriticalSection(&first_use);
  if (!started(guard)) return 1;  // the caller starts it and then releases or aborts
  LeaveCriticalSection(&first_use);
  return 0;
}

extern "C" void __cxxabiv1::__cxa_guard_release(__guard* guard) noexcept {
  *reinterpret_cast<volatile char*>(guard) = 1;
  LeaveCriticalSection(&first_use);
}

extern "C" void __cxxabiv1::__cxa_guard_abort(__guard*) noexcept {
  LeaveCriticalSection(&first_use);
}
