// pylar: runs the analysis engine on project files without the desktop program.
#include <cstdio>

#include "pylar/engine.h"

int main(int argc, char** argv) {
  (void)argv;
  if (argc < 2) {
    std::fprintf(stderr, "usage: pylar run FILE.pq8d | pylar batch FILE...\n");
    return 2;
  }
  std::fprintf(stderr, "pylar: the run command is not built yet\n");
  return 99;
}
