// opengl_context.exe: exits 0 when this Wine can make an OpenGL context, which its DirectDraw needs
// for a flipping chain; otherwise prints the step that failed and exits 1.
#include <windows.h>

namespace {

int failed(const char* step) {
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), step, lstrlenA(step), nullptr, nullptr);
  return 1;
}

}  // namespace

int main() {
  HWND window = CreateWindowA("STATIC", "opengl", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (window == nullptr) return failed("CreateWindow");
  HDC device = GetDC(window);
  PIXELFORMATDESCRIPTOR format{};
  format.nSize = sizeof format;
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = 24;
  const int chosen = ChoosePixelFormat(device, &format);
  if (chosen == 0 || !SetPixelFormat(device, chosen, &format)) return failed("SetPixelFormat");
  HGLRC context = wglCreateContext(device);
  if (context == nullptr) return failed("wglCreateContext");
  if (!wglMakeCurrent(device, context)) return failed("wglMakeCurrent");
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(context);
  ReleaseDC(window, device);
  DestroyWindow(window);
  return 0;
}
