// Soak: rounds of contact, configuration save, restore, banner write (with its read-back)
// and firmware load against zr8sim on a pseudo-terminal (instant line model), each round
// with one random fault of the simulator's, seeded and printed. After every round the
// radio's EEPROM (zr8sim's --eeprom file) and flash (--flash-dump) are checked:
//   lost   a byte the program must never write changed (0x0C0-0x0C1, 0x0FB-0x0FF,
//          everything above 0x3FF);
//   wrong  a saved image that differs from the radio's EEPROM, a byte a successful
//          restore or banner write set that is not what the file or text holds, a banner
//          read back that is not the text, a successful load whose flash differs from the
//          image or whose version is not the new one, a failed load that left the flash
//          neither untouched, nor marked for the boot loader, nor complete, a machine that
//          never reported its end.
// A failed operation ends its round; zr8sim starts afresh for the next (a power cycle),
// in its boot loader when the flash holds the marker, and the next round recovers: the
// load first when contact finds the boot loader, then the rest.
//
//   zr8_soak [--rounds N] [--seed N] [--verbose]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "config/banner_state_machine.h"
#include "config/config_file_writer.h"
#include "config/config_names.h"
#include "config/config_restore_state_machine.h"
#include "config/config_save_state_machine.h"
#include "firmware/mcu_loader_state_machine.h"
#include "machine_rig.h"
#include "platform/code_pages.h"
#include "sim/firmware_gen.h"
#include "soak_faults.h"
#include "tests/core/serial/sim_process.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kEepromSize = 0x8400;
constexpr DWORD kContactMs = 15000;
constexpr DWORD kOperationMs = 180000;

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// zr8sim's factory EEPROM.
std::vector<uint8_t> FactoryEeprom() {
    std::vector<uint8_t> bytes(kEepromSize, 0xFF);
    for (size_t a = 0; a < 0x3F0; ++a) bytes[a] = uint8_t(a * 37 + 11);
    std::memcpy(&bytes[0x3F0], "ZR8 HF", 6);
    bytes[0x3F6] = 0;
    return bytes;
}

bool NeverWritten(size_t address) {
    return address == 0x0C0 || address == 0x0C1 || (address >= 0x0FB && address <= 0x0FF) || address >= 0x400;
}

struct CTally {
    unsigned rounds = 0, lost = 0, wrong = 0, recoveries = 0;
    std::map<std::string, unsigned> faults;
    std::map<std::string, unsigned> failures;  // "operation 0xCODE"
    std::map<std::string, unsigned> completed;  // operations that succeeded
};

class CSoak {
public:
    CSoak(const fs::path& scratch, bool verbose) : m_scratch(scratch), m_verbose(verbose) {}
    bool Prepare(std::string& error);
    void Round(unsigned round, const CSoakFault& fault);
    CTally tally;

private:
    void Wrong(const std::string& what) { ++tally.wrong; std::printf("    WRONG: %s\n", what.c_str()); }
    void Lost(const std::string& what) { ++tally.lost; std::printf("    LOST: %s\n", what.c_str()); }
    bool Failed(const char* operation, DWORD code);
    DWORD Load(CMachineRig& rig, uint16_t version);
    void CheckEeprom(const std::vector<uint8_t>& eeprom);
    void CheckFlash(bool loaded, uint16_t version, DWORD result);

    fs::path m_scratch;
    bool m_verbose;
    std::vector<uint8_t> m_expected = FactoryEeprom();
    std::vector<bool> m_known = std::vector<bool>(kEepromSize, true);
    std::vector<uint8_t> m_files[2];  // what the two standard files hold
    uint16_t m_version = 123;        // what the radio runs
    bool m_bootLoader = false;       // the radio comes up in its boot loader
    unsigned m_round = 0;
};

bool CSoak::Prepare(std::string& error) {
    // Two standard files of the radio's configuration, restored in turn.
    for (int f = 0; f < 2; ++f) {
        std::vector<uint8_t> image(0x400);
        for (size_t a = 0; a < image.size(); ++a) image[a] = uint8_t(a * (f ? 91 : 13) + f * 7);
        m_files[f] = image;
        CConfigFileHeader header;
        header.serialNumber = 12345;
        header.firmwareVersion = L"01.23";
        const fs::path path = m_scratch / ("standard" + std::to_string(f) + ".ZR8Config");
        if (!WriteConfigurationFile(nullptr, CodePages::FromUtf8(path.string()), CSaveTime::Now(), image.data(),
                                    header)) {
            error = "cannot write " + path.string();
            return false;
        }
    }
    for (uint16_t version : {124, 125}) {
        CFirmwareGenOptions firmware;
        firmware.version = version;
        firmware.codeEnd = 0x10000;
        if (!WriteFirmwareFile((m_scratch / FirmwareFileName(version)).string(), firmware, error)) return false;
    }
    return true;
}

bool CSoak::Failed(const char* operation, DWORD code) {
    if (code == 0) {
        ++tally.completed[operation];
        return false;
    }
    char key[64];
    std::snprintf(key, sizeof key, "%s 0x%08X", operation, unsigned(code));
    ++tally.failures[key];
    if (m_verbose) std::printf("    %s\n", key);
    if (code == ERROR_TIMEOUT) Wrong(std::string(operation) + " never reported its end");
    return true;
}

DWORD CSoak::Load(CMachineRig& rig, uint16_t version) {
    const std::wstring path = CodePages::FromUtf8((m_scratch / FirmwareFileName(version)).string());
    CMcuLoaderStateMachine loader(rig.Model(), L"MCU", path);
    const DWORD result = rig.RunOperation(&loader, [&] { return loader.Start(rig.Owner()); }, kOperationMs);
    if (result == 0 && rig.Model().m_mcuVersion.Get() != version)
        Wrong("the radio reports version " + std::to_string(rig.Model().m_mcuVersion.Get()) + " after loading " +
              std::to_string(version));
    return result;
}

void CSoak::Round(unsigned round, const CSoakFault& fault) {
    m_round = round;
    ++tally.rounds;
    ++tally.faults[fault.kind];
    const fs::path eepromFile = m_scratch / "eeprom.bin", flashDump = m_scratch / "flash.bin";
    fs::remove(flashDump);
    std::vector<std::string> args{"--baud-model", "instant", "--flash-ms", "1", "--version",
                                  std::to_string(m_version), "--eeprom", eepromFile.string(), "--flash-dump",
                                  flashDump.string()};
    if (m_bootLoader) args.push_back("--boot-loader");
    if (!fault.spec.empty()) args.insert(args.end(), {"--fault", fault.spec});
    std::printf("round %u: fault %s%s\n", round, fault.spec.empty() ? "none" : fault.spec.c_str(),
                m_bootLoader ? " (radio in its boot loader)" : "");

    const std::vector<uint8_t> before = fs::exists(eepromFile) ? ReadAll(eepromFile) : FactoryEeprom();
    CSimProcess sim;
    std::string error;
    if (!sim.Start(args, error)) {
        Wrong("zr8sim did not start: " + error);
        return;
    }
    bool loaded = false;
    uint16_t newVersion = m_version == 124 ? 125 : 124;
    DWORD loadResult = 0;
    {
        CMachineRig rig;
        const uint16_t wanted = newVersion;
        auto body = [&]() {
            if (Failed("contact", rig.Contact(CodePages::FromUtf8(sim.SlavePath()), kContactMs))) return;
            if (rig.Model().m_firmwareStatus.Get() == FirmwareStatusBootLoader) {
                loaded = true;
                loadResult = Load(rig, wanted);
                if (Failed("load", loadResult)) return;
                ++tally.recoveries;
            }
            CConfigSaveStateMachine save(rig.Model());
            const DWORD saved = rig.RunOperation(&save, [&] { return save.Start(rig.Owner()); }, kOperationMs);
            if (Failed("save", saved)) return;
            if (std::memcmp(save.Image(), before.data(), 0x400) != 0) Wrong("the saved image differs from the EEPROM");

            const std::vector<uint8_t>& file = m_files[round % 2];
            CConfigRestoreStateMachine restore(rig.Model());
            const fs::path path = m_scratch / ("standard" + std::to_string(round % 2) + ".ZR8Config");
            DWORD restored = restore.ReadFile(CodePages::FromUtf8(path.string()), rig.Owner());
            if (restored == 0)
                restored = rig.RunOperation(&restore, [&] { return restore.Start(rig.Owner()); }, kOperationMs);
            for (size_t a = 0; a < 0x400; ++a)
                if (!NeverWritten(a)) {
                    m_expected[a] = file[a];
                    m_known[a] = restored == 0;  // a broken restore leaves any mix of old and new
                }
            if (Failed("restore", restored)) return;

            char text[17];
            std::snprintf(text, sizeof text, "SOAK %04u", round % 10000);
            CBannerStateMachine banner(rig.Model());
            const DWORD written = rig.RunOperation(
                &banner, [&] { return banner.StartWrite(rig.Owner(), CodePages::FromUtf8(text)); }, kOperationMs);
            const size_t length = std::strlen(text);
            for (size_t i = 0; i <= length; ++i) {
                m_expected[0x3F0 + i] = i < length ? uint8_t(text[i]) : 0;
                m_known[0x3F0 + i] = written == 0;
            }
            if (Failed("banner", written)) return;
            if (CodePages::ToUtf8(banner.BufferText()) != text) Wrong("the banner read back is not the text");

            if (!loaded) {
                loaded = true;
                loadResult = Load(rig, wanted);
                Failed("load", loadResult);
            }
        };
        body();
    }
    sim.Stop();  // a power cycle; writes the flash dump
    const std::vector<uint8_t> after = fs::exists(eepromFile) ? ReadAll(eepromFile) : FactoryEeprom();
    CheckEeprom(after);
    CheckFlash(loaded, newVersion, loadResult);
}

void CSoak::CheckEeprom(const std::vector<uint8_t>& eeprom) {
    if (eeprom.size() != kEepromSize) {
        Lost("the EEPROM file has " + std::to_string(eeprom.size()) + " bytes");
        return;
    }
    const std::vector<uint8_t> factory = FactoryEeprom();
    size_t lost = 0, wrong = 0;
    for (size_t a = 0; a < kEepromSize; ++a) {
        if (NeverWritten(a) && eeprom[a] != factory[a]) ++lost;
        if (!NeverWritten(a) && m_known[a] && eeprom[a] != m_expected[a]) ++wrong;
    }
    if (lost) Lost(std::to_string(lost) + " EEPROM bytes the program must not write have changed");
    if (wrong) Wrong(std::to_string(wrong) + " EEPROM bytes differ from what the last restore and banner wrote");
}

void CSoak::CheckFlash(bool loaded, uint16_t version, DWORD result) {
    if (!loaded) return;  // the radio keeps its firmware
    const std::vector<uint8_t> flash = ReadAll(m_scratch / "flash.bin");
    CFirmwareGenOptions firmware;
    firmware.version = version;
    firmware.codeEnd = 0x10000;
    const std::vector<uint8_t> image = MakeFirmwareImage(firmware);
    const bool complete = flash == image;
    const bool marked = flash.size() >= 2 && flash[0] == 0xDE && flash[1] == 0xAD;
    bool untouched = !flash.empty();
    for (uint8_t b : flash) untouched = untouched && b == 0xFF;
    if (result == 0 && !complete) Wrong("the flash differs from the image after a load reported complete");
    if (result != 0 && !complete && !marked && !untouched)
        Wrong("a broken load left the flash without the boot loader's marker");
    if (complete) m_version = version;
    m_bootLoader = marked;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned rounds = 200;
    uint32_t seed = 1;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc) rounds = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--seed" && i + 1 < argc) seed = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--verbose") verbose = true;
        else {
            std::fprintf(stderr, "usage: zr8_soak [--rounds N] [--seed N] [--verbose]\n");
            return 2;
        }
    }
    char pattern[] = "/tmp/zr8-soak-XXXXXX";
    if (!::mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path scratch = pattern;
    CSoak soak(scratch, verbose);
    std::string error;
    if (!soak.Prepare(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("soak: %u rounds, seed %u\n", rounds, unsigned(seed));
    CSoakFaults faults(seed);
    for (unsigned round = 1; round <= rounds; ++round) soak.Round(round, faults.Next());
    fs::remove_all(scratch);

    const CTally& t = soak.tally;
    std::printf("\nrounds %u, recoveries (a load that found the boot loader) %u\n", t.rounds, t.recoveries);
    std::printf("faults by kind:");
    for (const auto& [kind, n] : t.faults) std::printf(" %s %u,", kind.c_str(), n);
    std::printf("\noperations completed:");
    for (const auto& [op, n] : t.completed) std::printf(" %s %u,", op.c_str(), n);
    std::printf("\nfailures by code:\n");
    for (const auto& [key, n] : t.failures) std::printf("  %-28s %u\n", key.c_str(), n);
    std::printf("lost %u, wrong %u\n", t.lost, t.wrong);
    return t.lost == 0 && t.wrong == 0 ? 0 : 1;
}
