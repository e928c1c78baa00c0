#include <iostream>
#include <string>
#include <vector>

#include "assembler/driver.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  return tarn::RunTarn(args, std::cout);
}
