#include "server/cli/command_line.h"

int main(int argc, char** argv) {
  return server::runCommandLine(argc, argv);
}
