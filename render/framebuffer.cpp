#include "render/framebuffer.h"

std::uint32_t framebuffer[screen_pixels];
