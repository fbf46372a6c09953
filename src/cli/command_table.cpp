// One row per command. To add a command: declare its handler in a header of its own,
// include it here and add the row; the help lists the rows in this order.
#include "cli/command_table.h"

#include "cli/commands.h"
#include "cli/config_commands.h"
#include "cli/fetch_firmware_command.h"

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
        {"fetch-firmware", "fetch-firmware [--folder DIR] [--server HOST[:PORT]]",
         "Copies new firmware files from the Orvandel file server into DIR, or the\n"
         "\"FirmwareFolder\" setting's folder: the zr8*.hex files newer than the newest\n"
         "one there, and the release notes with them. Each HEX file is checked before\n"
         "it takes its name. The server is HOST[:PORT], or the \"FileServer\" setting.\n"
         "A missing folder is created when you agree (--yes).",
         RunFetchFirmwareCommand},
        {"save-config", "save-config [FILE]",
         "Saves the radio's configuration (EEPROM 0x000-0x3FF) in a file. Without FILE,\n"
         "or when FILE is a folder, the name is SN<serial>.<date>T<time>.ZR8Config in the\n"
         "\"ConfigurationFolder\" setting's folder (or the ZR8 Configuration folder).\n"
         "An existing file is replaced only after a complete read, and only when you\n"
         "agree (--yes).",
         RunSaveConfigCommand},
        {"restore-config", "restore-config [--advanced] FILE",
         "Checks the configuration file, then writes it back into the radio. A file of\n"
         "another radio is refused; with --advanced (the \"AdvancedMode\" setting) you\n"
         "are asked whether to go on (--yes answers Yes). Turn the radio off and on\n"
         "afterwards. Ctrl-C asks before it interrupts.",
         RunRestoreConfigCommand},
        {"banner", "banner [TEXT]",
         "Shows the power-on banner, or writes TEXT (at most 16 characters, trailing\n"
         "blanks dropped) and shows what the radio reads back.",
         RunBannerCommand},
        {"check", "check FILE.hex | FILE.ZR8Config",
         "Checks a file without touching the radio. For an Intel HEX firmware file:\n"
         "prints its checksum reconciliation value, the image checksum and the version\n"
         "in its name, or the line and error of the first fault. For a configuration\n"
         "file: its integrity value and completeness, the runs of bytes a restore would\n"
         "write and the serial number it was saved from.",
         RunCheckCommand},
    };
    return commands;
}

const CCommand* FindCommand(const std::string& name) {
    for (const CCommand& command : Commands())
        if (name == command.name) return &command;
    return nullptr;
}
