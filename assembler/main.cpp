#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "assembler/driver.h"

namespace {

// A run is short and its tables only grow: memory that a growing table frees is kept for the
// next one instead of going back to the system, and the heap grows in one large step that
// the kernel may back with huge pages. On a virtual machine a page fault costs as much as
// assembling a few dozen lines, and a large source touches thousands of pages.
void PrepareHeap() {
  constexpr size_t kStep = 64u << 20;
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
  mallopt(M_TOP_PAD, kStep);
  void* probe = std::malloc(1 << 20);  // grows the heap by the step
  if (!probe) return;
  constexpr uintptr_t kHuge = 2u << 20;
  uintptr_t from = (reinterpret_cast<uintptr_t>(probe) + kHuge - 1) & ~(kHuge - 1);
  uintptr_t to = reinterpret_cast<uintptr_t>(sbrk(0)) & ~(kHuge - 1);
  if (to > from) static_cast<void>(madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE));
  std::free(probe);
}

}  // namespace

int main(int argc, char** argv) {
  PrepareHeap();
  std::vector<std::string> args(argv, argv + argc);
  return tarn::RunTarn(args, std::cout);
}
