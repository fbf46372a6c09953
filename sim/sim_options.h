// What a simulated radio is: its firmware version and serial number, where it starts,
// how its line behaves and which faults it has. Shared by the in-process device, the
// pseudo-terminal server and the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/firmware_gen.h"
#include "sim/sim_faults.h"

enum class BaudModel { Instant, Line };

struct CSimOptions {
    uint16_t version = 123;            // shown "01.23"
    uint16_t serialNumber = 12345;
    bool startInBootLoader = false;
    bool bootLoaderEchoOnly = false;   // the boot loader echoes "I;" instead of answering "zr8;"
    int loadVersion = -1;              // version after a firmware load; -1: the image's tag, else unchanged
    BaudModel baudModel = BaudModel::Line;
    uint32_t radioRate = 9600;         // the rate the radio's UART runs at
    uint32_t adapterLatencyMs = 0;     // the USB adapter's latency timer; 0: none
    uint32_t flashMs = 8;              // boot loader: time to write one packet into flash
    uint32_t restartMs = 300;          // deaf time after "LD;" and after the final packet
    std::string eepromFile;            // loaded at start, saved after every write
    std::string writeLogFile;
    std::string flashDumpFile;         // written after a firmware load and at exit
    CSimFaults faults;

    uint32_t ListenRate() const { return faults.OtherRate() ? faults.OtherRate() : radioRate; }
};

// The whole command line of zr8sim (also "zr8 sim").
struct CSimCommandLine {
    CSimOptions radio;
    std::string linkPath;
    bool stdinEofExits = false;
    bool help = false;
    bool printVersion = false;         // --version without a number: the program's version
    std::string makeFirmwarePath;      // --make-firmware: write a HEX file and exit
    CFirmwareGenOptions firmware;
};

bool ParseSimCommandLine(const std::vector<std::string>& args, CSimCommandLine& out, std::string& error);
const char* SimUsageText();
