// operator new and delete on the C library's malloc and free. A failed allocation is a C++
// exception (runtime.h says where it goes), as with the library's own operator new.
#include <cstdlib>
#include <new>

#include "platform/windows/runtime/runtime.h"

namespace {

void* allocate(std::size_t size) {
  void* memory = std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) runtime::throw_failure();
  return memory;
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
