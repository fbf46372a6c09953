// One row per command. To add a command: declare its handler in a header of its own,
// include it here and add the row; the help lists the rows in this order.
#include "cli/command_table.h"

#include "cli/commands.h"

const std::vector<CCommand>& Commands() {
    static const std::vector<CCommand> commands = {
        {"ports", "ports",
         "Lists the serial ports of this computer.\n"
         "Linux: the /dev/serial/by-id names with the device each points to, then the\n"
         "ttyUSB and ttyACM devices no by-id name covers. Windows: the ports of the\n"
         "system's serial device map.",
         RunPortsCommand},
        {"info", "info",
         "Finds the radio on the port and prints what it is: device, firmware status,\n"
         "MCU firmware version, serial number and bit rate.",
         RunInfoCommand},
        {"send", "send [--wait MS] CMD...",
         "Sends each command to the radio (\";\" is added when missing) and prints its\n"
         "answer up to \";\", or notes that none came within the wait (1000 ms).\n"
         "Example: zr8 --port sim send I RV SN",
         RunSendCommand},
        {"sim", "sim [zr8sim options]",
         "Runs the simulated radio on a pseudo-terminal, exactly as zr8sim does\n"
         "(Linux only). \"zr8 sim --help\" lists its options.",
         RunSimCommand},
        {"flash", "flash [--folder DIR] [FILE]",
         "Loads MCU firmware into the radio. FILE is an Intel HEX file; without it the\n"
         "newest zr8*.hex of DIR, or of the \"FirmwareFolder\" setting. The file is\n"
         "checked before the radio is touched. At the end the version the radio reports\n"
         "must match the version in the file's name. Ctrl-C asks before it abandons.",
         RunFlashCommand},
        {"check", "check FILE.hex",
         "Checks a file without touching the radio. For an Intel HEX firmware file:\n"
         "prints its checksum reconciliation value, the image checksum and the version\n"
         "in its name, or the line and error of the first fault.",
         RunCheckCommand},
    };
    return commands;
}

const CCommand* FindCommand(const std::string& name) {
    for (const CCommand& command : Commands())
        if (name == command.name) return &command;
    return nullptr;
}
