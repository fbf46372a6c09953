#include "sim/sim_options.h"

namespace {

bool ParseUnsigned(const std::string& text, uint64_t limit, uint64_t& value, int base = 10) {
    if (text.empty()) return false;
    size_t i = 0;
    if (base == 16 && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) i = 2;
    if (i == text.size()) return false;
    uint64_t v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0) return false;
        v = v * base + d;
        if (v > limit) return false;
    }
    value = v;
    return true;
}

}  // namespace

bool ParseSimCommandLine(const std::vector<std::string>& args, CSimCommandLine& out, std::string& error) {
    CSimOptions& radio = out.radio;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            v = args[++i];
            return true;
        };
        auto number = [&](uint64_t limit, uint64_t& n, int base = 10) {
            std::string v;
            if (!value(v)) return false;
            if (!ParseUnsigned(v, limit, n, base)) {
                error = "bad number for " + arg + ": " + v;
                return false;
            }
            return true;
        };
        uint64_t n = 0;
        std::string text;
        if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--baud-model") {
            if (!value(text)) return false;
            if (text == "instant") radio.baudModel = BaudModel::Instant;
            else if (text == "line") radio.baudModel = BaudModel::Line;
            else {
                error = "--baud-model takes instant or line";
                return false;
            }
        } else if (arg == "--version" && i + 1 == args.size()) {
            // Alone at the end, --version asks for the program's version; followed by a
            // number it sets the radio's firmware version.
            out.printVersion = true;
        } else if (arg == "--version") {
            if (!number(9999, n)) return false;
            radio.version = static_cast<uint16_t>(n);
            out.firmware.version = static_cast<uint16_t>(n);
        } else if (arg == "--serial") {
            if (!number(65535, n)) return false;
            radio.serialNumber = static_cast<uint16_t>(n);
        } else if (arg == "--load-version") {
            if (!number(9999, n)) return false;
            radio.loadVersion = static_cast<int>(n);
        } else if (arg == "--radio-baud") {
            if (!number(4000000, n)) return false;
            if (n == 0) {
                error = "bad number for --radio-baud: 0";
                return false;
            }
            radio.radioRate = static_cast<uint32_t>(n);
        } else if (arg == "--adapter-latency") {
            if (!number(255, n)) return false;
            radio.adapterLatencyMs = static_cast<uint32_t>(n);
        } else if (arg == "--flash-ms") {
            if (!number(60000, n)) return false;
            radio.flashMs = static_cast<uint32_t>(n);
        } else if (arg == "--restart-ms") {
            if (!number(60000, n)) return false;
            radio.restartMs = static_cast<uint32_t>(n);
        } else if (arg == "--boot-loader") {
            radio.startInBootLoader = true;
        } else if (arg == "--echo-only") {
            radio.bootLoaderEchoOnly = true;
        } else if (arg == "--eeprom") {
            if (!value(radio.eepromFile)) return false;
        } else if (arg == "--write-log") {
            if (!value(radio.writeLogFile)) return false;
        } else if (arg == "--flash-dump") {
            if (!value(radio.flashDumpFile)) return false;
        } else if (arg == "--fault") {
            if (!value(text)) return false;
            if (!radio.faults.Add(text, error)) return false;
        } else if (arg == "--link") {
            if (!value(out.linkPath)) return false;
        } else if (arg == "--stdin-eof-exits") {
            out.stdinEofExits = true;
        } else if (arg == "--make-firmware") {
            if (!value(out.makeFirmwarePath)) return false;
        } else if (arg == "--no-reconciliation") {
            out.firmware.reconciliationWord = false;
        } else if (arg == "--bad-reconciliation") {
            out.firmware.wrongReconciliationWord = true;
        } else if (arg == "--lf") {
            out.firmware.crlf = false;
        } else if (arg == "--no-extended") {
            out.firmware.extendedAddress = false;
        } else if (arg == "--record-below-image") {
            out.firmware.recordBelowImage = true;
        } else if (arg == "--code-end") {
            if (!number(0x10000, n, 16)) return false;
            out.firmware.codeEnd = static_cast<uint32_t>(n);
        } else {
            error = "unknown option " + arg + " (see --help)";
            return false;
        }
    }
    return true;
}

const char* SimUsageText() {
    return
        "Usage: zr8sim [options]\n"
        "A simulated ZR8 on a pseudo-terminal. The first line on stdout is \"PTY <slave path>\".\n"
        "\n"
        "Radio:\n"
        "  --version N          MCU firmware version (default 123, answered as RV01.23;);\n"
        "                       --version alone, as the last argument: print zr8sim's version\n"
        "  --serial N           serial number (default 12345, answered as SN12345;)\n"
        "  --boot-loader        start in the boot loader instead of the application firmware\n"
        "  --echo-only          the boot loader answers \"I;\" with its echo only\n"
        "  --load-version N     version after a firmware load (default: the image's tag, else unchanged)\n"
        "  --eeprom FILE        EEPROM contents (0x8400 bytes), loaded at start, saved after each write\n"
        "  --write-log FILE     append one line per EEPROM write: address, count, bytes\n"
        "  --flash-dump FILE    write the flash (0x0800-0xFFFF, raw) after a load and at exit\n"
        "  --flash-ms N         boot loader time to flash one packet (default 8)\n"
        "  --restart-ms N       time the radio is deaf while it restarts (default 300)\n"
        "Line:\n"
        "  --baud-model M       line: bytes take 10 bit times each (default); instant: no line time\n"
        "  --radio-baud N       the radio's own bit rate (default 9600)\n"
        "  --adapter-latency MS the USB adapter holds what the radio sends until MS ms pass\n"
        "                       or 62 bytes wait (0 to 255, default 0: no adapter delay)\n"
        "Faults (repeat --fault for several):\n"
        "  --fault drop-reply=N            the N-th reply is never sent\n"
        "  --fault drop-packet-reply=P     packet P is flashed, its acknowledgement lost (once)\n"
        "  --fault refuse-packet=P[xN]     packet P answered \"N\" its first N times\n"
        "  --fault answer-c=P[xN]          packet P answered \"C\" its first N times\n"
        "  --fault late=MS[@N]             every reply (or the N-th) MS ms late\n"
        "  --fault garbage=N[xLEN]         LEN (8) noise bytes before the N-th reply\n"
        "  --fault bad-checksum=N|@ADDR    wrong checksum in the N-th ER answer (or the one for ADDR)\n"
        "  --fault silent=N                answer nothing after N replies\n"
        "  --fault vanish=N                close the line after receiving N bytes\n"
        "  --fault power-loss=N|@ADDR[:B]  the N-th EW (or the one at ADDR) writes B bytes, then dead\n"
        "  --fault other-rate=RATE         listen and answer only at RATE bit/s\n"
        "  --fault lose-byte=N             the boot loader loses the N-th byte after \"D\"\n"
        "  P is a packet number (1 = 0x0800 marker packet, 992 = 0xFFC0, 993 or last = final)\n"
        "  or @ADDR, the hexadecimal address of an ordinary packet.\n"
        "Transport:\n"
        "  --link PATH          also make PATH a symbolic link to the slave\n"
        "  --stdin-eof-exits    stop when standard input reaches its end\n"
        "  Stops on SIGTERM or SIGINT; SIGUSR1 switches the radio off and on again.\n"
        "Firmware files:\n"
        "  --make-firmware FILE write a synthetic firmware HEX file of --version N and exit;\n"
        "                       with --no-reconciliation, --bad-reconciliation, --lf, --no-extended,\n"
        "                       --record-below-image, --code-end HEX\n"
        "  --help               this text\n";
}
