// yearloom-batch: the headless program alone, for machines without Qt.

#include <string>
#include <vector>

#include "app/command_line.h"

int main(int argc, char** argv) {
  return yl::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
