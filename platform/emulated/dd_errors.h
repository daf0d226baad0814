// DirectDraw results the emulated display answers beyond those the display code names.
#pragma once

#include "platform/win32.h"

namespace emulated::detail {

constexpr HRESULT DDERR_INVALIDCAPS = dd_error(100);
constexpr HRESULT DDERR_INVALIDOBJECT = dd_error(130);
constexpr HRESULT DDERR_INVALIDRECT = dd_error(150);
constexpr HRESULT DDERR_SURFACEBUSY = dd_error(430);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = dd_error(564);
constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = dd_error(581);
constexpr HRESULT DDERR_NOTFLIPPABLE = dd_error(582);
constexpr HRESULT DDERR_WRONGMODE = dd_error(587);

}  // namespace emulated::detail
