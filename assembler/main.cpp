#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "assembler/driver.h"

namespace {

// A run is short and its tables only grow: memory that a growing table frees is kept for the
// next one instead of going back to the system, and the heap grows in one large step. On a
// virtual machine a page fault costs as much as assembling a few dozen lines, and a large
// source touches thousands of pages: for one, that step is advised for huge pages. A small
// source is better without them (its first huge page costs more than all its faults).
void PrepareHeap(bool large_source) {
  constexpr size_t kStep = 64u << 20;
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
  mallopt(M_TOP_PAD, kStep);
  if (!large_source) return;
  void* probe = std::malloc(1 << 20);  // grows the heap by the step
  if (!probe) return;
  constexpr uintptr_t kHuge = 2u << 20;
  // From the huge page that holds the probe when the heap holds all of it, else the next.
  uintptr_t at = reinterpret_cast<uintptr_t>(probe);
  uintptr_t to = reinterpret_cast<uintptr_t>(sbrk(0)) & ~(kHuge - 1);
  for (uintptr_t from : {at & ~(kHuge - 1), (at + kHuge - 1) & ~(kHuge - 1)}) {
    // madvise takes the page as an address; it was worked out from the heap's bounds.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    if (to > from && madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE) == 0) break;
  }
  std::free(probe);
}

// The source is the last argument (".asm" added when the name has none). Only a guess for
// the heap: an unreadable name is simply not large.
bool LargeSource(int argc, char** argv) {
  constexpr off_t kLarge = 128 << 10;  // about 4,000 lines
  if (argc < 2) return false;
  std::string name = argv[argc - 1];
  struct stat st;
  if (stat(name.c_str(), &st) != 0 && stat((name + ".asm").c_str(), &st) != 0) return false;
  return S_ISREG(st.st_mode) && st.st_size >= kLarge;
}

}  // namespace

int main(int argc, char** argv) {
  PrepareHeap(LargeSource(argc, argv));
  std::vector<std::string> args(argv, argv + argc);
  return tarn::RunTarn(args, std::cout);
}
