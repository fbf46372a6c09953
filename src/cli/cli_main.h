// The whole of zr8 behind main(): options, the command, its exit code.
#pragma once

#include <string>
#include <vector>

int RunCli(const std::vector<std::string>& args);  // without the program name
