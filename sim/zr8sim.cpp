#include "sim/sim_main.h"

int main(int argc, char** argv) { return Zr8SimMain(argc, argv); }
