// zulmb: a command-line MODBUS RTU client for ZUL modules, for scripting and diagnosis.
#include "ZulmbRun.h"

#include <iostream>

int main(int argc, char **argv)
{
    return zulmb::runCommandLine({ argv + 1, argv + argc }, std::cout, std::cerr);
}
