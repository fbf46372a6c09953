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
        {"doctor", "doctor [PORT...]",
         "Looks for a ZR8 on each port given (or --port, or every port \"zr8 ports\"\n"
         "lists): opens it, polls, identifies the radio, reads its version and serial\n"
         "number, and says what answered at which bit rate, or what went wrong there\n"
         "and what to do. Exit 0 when a ZR8 was found.",
         RunDoctorCommand},
        {"send", "send [--wait MS] CMD...",
         "Sends each command to the radio (\";\" is added when missing) and prints its\n"
         "answer up to \";\", or notes that none came within the wait (1000 ms).\n"
         "Example: zr8 --port sim send I RV SN",
         RunSendCommand},
        {"terminal", "terminal [--timestamps] [--hex] [--log FILE] [--wait MS] [--contact]",
         "An interactive line terminal to the radio. Each line goes out exactly as typed\n"
         "(nothing added); Enter sends it, and typing \";\" sends the line at once. Answers\n"
         "show as they arrive, carriage returns dropped. \"!N\" sends macro N (1-16) of\n"
         "the Command Tester (\"CommandText%u\"); \"!!\" sends a line that starts with \"!\".\n"
         "--timestamps puts the milliseconds since the command before each answer, --hex\n"
         "shows every received byte in hexadecimal, --log appends the session to FILE,\n"
         "--contact finds the radio first. Ctrl-D or Ctrl-C ends. Without a terminal it\n"
         "reads lines from standard input, one write each, sent once the answers of the\n"
         "line before are in (or MS ms, default 1000, pass without a byte), and ends\n"
         "with 0 after the last answers.",
         RunTerminalCommand},
        {"sim", "sim [zr8sim options]",
         "Runs the simulated radio on a pseudo-terminal, exactly as zr8sim does\n"
         "(Linux only). \"zr8 sim --help\" lists its options.",
         RunSimCommand},
        {"flash", "flash [--folder DIR] [--no-backup] [--force] [FILE]",
         "Loads MCU firmware into the radio. FILE is an Intel HEX file; without it the\n"
         "newest zr8*.hex of DIR, or of the \"FirmwareFolder\" setting. The file is\n"
         "checked before the radio is touched. At the end the version the radio reports\n"
         "must match the version in the file's name. Ctrl-C asks before it abandons.\n"
         "Before the load the radio's configuration is saved in the configuration folder\n"
         "(not with --no-backup), and a downgrade or a reload of the same version is\n"
         "asked (--yes answers). A file whose name gives no version needs --force.",
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
        {"diff", "diff A.ZR8Config B.ZR8Config | diff A.ZR8Config --radio",
         "Compares two configuration files, or a file and the radio's configuration,\n"
         "each checked as a restore checks it: the runs of differing bytes (old -> new),\n"
         "the banners, the serial numbers and the bytes a restore would not write.\n"
         "Exit 0 equal, 1 different, 2 trouble (a corrupt file, a radio that fails).",
         RunConfigDiffCommand},
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
