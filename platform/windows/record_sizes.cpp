// The records the show hands to Windows and DirectDraw, checked against their published sizes for
// 32-bit x86: a header that packed or padded one differently would break every call that takes it.
#include <cstddef>

#include "platform/win32.h"

static_assert(sizeof(DDSURFACEDESC) == 108);
static_assert(sizeof(DDPIXELFORMAT) == 32);
static_assert(sizeof(DDSCAPS) == 4);
static_assert(sizeof(DDCOLORKEY) == 8);
static_assert(sizeof(WNDCLASSA) == 40);
static_assert(sizeof(MSG) == 28);
static_assert(sizeof(RECT) == 16);
static_assert(sizeof(POINT) == 8);
static_assert(sizeof(GUID) == 16);

// Where the fields the display code reads and writes sit.
static_assert(offsetof(DDSURFACEDESC, lPitch) == 16);
static_assert(offsetof(DDSURFACEDESC, dwBackBufferCount) == 20);
static_assert(offsetof(DDSURFACEDESC, lpSurface) == 36);
static_assert(offsetof(DDSURFACEDESC, ddpfPixelFormat) == 72);
static_assert(offsetof(DDSURFACEDESC, ddsCaps) == 104);
static_assert(offsetof(DDPIXELFORMAT, dwRGBBitCount) == 12);
static_assert(offsetof(DDPIXELFORMAT, dwRBitMask) == 16);
static_assert(offsetof(DDPIXELFORMAT, dwBBitMask) == 24);
static_assert(offsetof(MSG, pt) == 20);
static_assert(offsetof(WNDCLASSA, lpszClassName) == 36);
