#include <malloc.h>

#include <iostream>
#include <string>
#include <vector>

#include "assembler/driver.h"

int main(int argc, char** argv) {
  // A run is short and its tables only grow: memory that a growing table frees is kept for
  // the next one instead of going back to the system and being faulted in afresh, and the
  // heap grows in large steps. Page faults cost more than the assembly of many lines.
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
  mallopt(M_TOP_PAD, 32 << 20);
  std::vector<std::string> args(argv, argv + argc);
  return tarn::RunTarn(args, std::cout);
}
