// The whole of zr8sim, callable from the command-line tool as "zr8 sim".
#pragma once

int Zr8SimMain(int argc, char** argv);  // argv[0] is the program name
