// The C++ exception entry points, for a program that never catches an exception.
//
// Nothing in the show throws by design: the module loader reports a broken file in its result.
// Any allocation can fail, and the library's checks can: each such throw ends the program as an
// uncaught exception does, through abort(). No unwinder, no personality routine and no exception
// tables are used.
#include <cxxabi.h>

#include <cstdlib>
#include <string>
#include <typeinfo>

#include "platform/windows/runtime/runtime.h"

#if defined(__SEH__)
#include <windows.h>
#else
#include <unwind.h>
#endif

namespace {

// Room for an object thrown: it is built and never read.
alignas(16) unsigned char thrown_object[256];

}  // namespace

[[noreturn]] void runtime::throw_failure() { std::abort(); }

extern "C" void* __cxxabiv1::__cxa_allocate_exception(std::size_t size) noexcept {
  if (size > sizeof thrown_object) std::abort();
  return thrown_object;
}

extern "C" void __cxxabiv1::__cxa_free_exception(void*) noexcept {}

// The destructor's type as the header declares it: on 32-bit x86 a thiscall pointer, which GCC
// warns about outside a class.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes"
extern "C" void __cxxabiv1::__cxa_throw(void*, std::type_info*,
                                        void(_GLIBCXX_CDTOR_CALLABI*)(void*)) {
  runtime::throw_failure();
}
#pragma GCC diagnostic pop

// Reached only through an unwinder, which this program does not have.
extern "C" void* __cxxabiv1::__cxa_begin_catch(void*) noexcept { std::abort(); }
extern "C" void __cxxabiv1::__cxa_end_catch() { std::abort(); }
extern "C" void __cxxabiv1::__cxa_rethrow() { std::abort(); }
extern "C" void _Unwind_Resume(struct _Unwind_Exception*) { std::abort(); }

#if defined(__SEH__)
// Windows asks each frame's handler about its own exceptions (an access fault, say): none of them
// is one the show handles.
extern "C" EXCEPTION_DISPOSITION __gxx_personality_seh0(PEXCEPTION_RECORD, void*, PCONTEXT,
                                                        PDISPATCHER_CONTEXT) {
  return ExceptionContinueSearch;
}
#else
extern "C" _Unwind_Reason_Code __gxx_personality_v0(int, _Unwind_Action, _Unwind_Exception_Class,
                                                    _Unwind_Exception*, _Unwind_Context*) {
  std::abort();
}
#endif

// The library's own throws, from std::string, std::vector and the like.
void std::__throw_bad_alloc() { runtime::throw_failure(); }
void std::__throw_bad_array_new_length() { runtime::throw_failure(); }
void std::__throw_length_error(const char*) { runtime::throw_failure(); }
void std::__throw_logic_error(const char*) { runtime::throw_failure(); }
void std::__throw_out_of_range(const char*) { runtime::throw_failure(); }
void std::__throw_out_of_range_fmt(const char*, ...) { runtime::throw_failure(); }
void std::__throw_invalid_argument(const char*) { runtime::throw_failure(); }
