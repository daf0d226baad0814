// The C and C++ runtime pieces show.exe uses, built here with the show's own flags so that the
// program runs on a Pentium MMX under Windows 98: it links no libstdc++, no winpthreads and no
// MinGW start-up code, whose prebuilt objects target later processors and later Windows.
//
// What the program needs of them: its start and exit (entry.cpp), memory (memory.cpp), static
// locals that start safely from either thread (static_guards.cpp), a clock and a sleep for the
// music's fade (clock.cpp), the C++ exception entry points (exceptions.cpp) and three maths
// functions (maths.cpp).
#pragma once

namespace runtime {

// Makes static_guards.cpp ready; called before any constructor runs.
void start_static_guards();

// Where a C++ exception ends up: the end of the program, as an uncaught exception ends it.
[[noreturn]] void throw_failure();

}  // namespace runtime
