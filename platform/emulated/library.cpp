// "ddraw.dll" is built in: loading it hands out a handle whose one export is DirectDrawCreate.
#include <cctype>
#include <cstring>

#include "platform/emulated/platform_state.h"

namespace {

char ddraw_module_tag;

HMODULE ddraw_module() { return reinterpret_cast<HMODULE>(&ddraw_module_tag); }

// Module names are not case-sensitive, and the extension may be left out.
bool names_ddraw(const char* name) {
  constexpr const char* full = "ddraw.dll";
  std::size_t i = 0;
  for (; name[i] != '\0' && full[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(name[i])) != full[i]) return false;
  }
  return name[i] == '\0' && (full[i] == '\0' || i == 5);
}

bool loaded(HMODULE module) {
  return module == ddraw_module() && emulated::detail::state().library_references > 0;
}

}  // namespace

HMODULE WINAPI LoadLibraryA(LPCSTR name) {
  if (emulated::detail::planned_failure(emulated::Step::load_library, name)) return nullptr;
  if (name == nullptr || !names_ddraw(name)) return nullptr;
  ++emulated::detail::state().library_references;
  return ddraw_module();
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
  if (emulated::detail::planned_failure(emulated::Step::get_proc_address, name)) return nullptr;
  if (!loaded(module) || name == nullptr || std::strcmp(name, "DirectDrawCreate") != 0) {
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&DirectDrawCreate));
}

BOOL WINAPI FreeLibrary(HMODULE module) {
  emulated::detail::record(emulated::Step::free_library);
  if (!loaded(module)) return FALSE;
  --emulated::detail::state().library_references;
  return TRUE;
}
