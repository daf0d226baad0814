// Whether this build converts rows with the MMX block routines (x86, 32- and 64-bit) or with the
// portable per-pixel loops. The one place the processor is tested.
#pragma once

#if defined(__i386__) || defined(__x86_64__)
#define SHOW_MMX_CONVERTERS 1
#else
#define SHOW_MMX_CONVERTERS 0
#endif
