// Configuration benchmark: zr8sim on a pseudo-terminal with its 9600 bit/s line model,
// the program's machines on the real clock through CSerialPort's terminal device, as the
// command-line tool runs them: after contact, a configuration save (1024 bytes in 16 block
// reads), a restore of a standard file (its writable bytes in block writes, then contact
// again), and a banner write with its read-back. For each: the wall time against its floor
// (the bytes that crossed the line, 10 bit times each, and the machines' deliberate
// pauses: 10 ms after each "TT0;"), the CPU time, and the program's own share of each
// exchange (from the port event that completed an answer to the next write).
//
//   zr8_config_bench [--rounds N] [-- zr8sim options...]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "config/banner_state_machine.h"
#include "config/config_file_writer.h"
#include "config/config_names.h"
#include "config/config_restore_state_machine.h"
#include "config/config_save_state_machine.h"
#include "core/text/error_text.h"
#include "machine_rig.h"
#include "platform/code_pages.h"
#include "process_usage.h"
#include "tests/core/serial/sim_process.h"

namespace {

constexpr double kBitRate = 9600;
constexpr double kBitsPerByte = 10;
constexpr double kTextTerminalOffPauseMs = 10;

struct CFigures {
    std::vector<double> wallMs, floorMs, cpuMs, shareMs;
    uint64_t out = 0, in = 0, exchanges = 0;
    DWORD result = 0;
};

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Percentile(std::vector<double> v, int p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, v.size() * size_t(p) / 100)];
}

// Runs the operation and adds its figures.
void Measure(CMachineRig& rig, const CSimProcess& sim, CFigures& figures, const std::function<DWORD()> run) {
    std::vector<double> share;
    const uint64_t eventsBefore = rig.PortEvents();
    rig.Model().onWrite = [&](size_t) {
        // Only answers of this operation: its first write follows the previous one's end.
        if (rig.PortEvents() > eventsBefore && rig.LastWasPortEvent())
            share.push_back(rig.NowMs() - rig.LastPortEventMs());
    };
    const size_t textsBefore = rig.Model().texts.size();
    const uint64_t outBefore = rig.Model().BytesOut();
    const ProcessUsage::ChildIo ioBefore = ProcessUsage::ReadChildIo(sim.Pid());
    const double cpuBefore = ProcessUsage::SelfCpuSeconds();
    const double start = rig.NowMs();
    const DWORD result = run();
    const double wall = rig.NowMs() - start;
    const double cpu = ProcessUsage::SelfCpuSeconds() - cpuBefore;
    const ProcessUsage::ChildIo ioAfter = ProcessUsage::ReadChildIo(sim.Pid());
    rig.Model().onWrite = nullptr;

    const uint64_t out = rig.Model().BytesOut() - outBefore;
    const uint64_t in = ioAfter.bytesWritten - ioBefore.bytesWritten;
    size_t pauses = 0;
    for (size_t i = textsBefore; i < rig.Model().texts.size(); ++i) pauses += rig.Model().texts[i] == "TT0;";
    const double floor = double(out + in) * kBitsPerByte / kBitRate * 1000 + double(pauses) * kTextTerminalOffPauseMs;
    figures.wallMs.push_back(wall);
    figures.floorMs.push_back(floor);
    figures.cpuMs.push_back(cpu * 1000);
    figures.shareMs.insert(figures.shareMs.end(), share.begin(), share.end());
    figures.out = out;
    figures.in = in;
    figures.exchanges = rig.Model().texts.size() - textsBefore;
    if (result && !figures.result) figures.result = result;
}

void Print(const char* name, const CFigures& f) {
    std::vector<double> ratios;
    for (size_t i = 0; i < f.wallMs.size(); ++i) ratios.push_back(f.wallMs[i] / f.floorMs[i]);
    std::printf("%s: result 0x%08X %s\n", name, unsigned(f.result), CodePages::ToUtf8(GetErrorText(f.result)).c_str());
    std::printf("  per run: %llu bytes out, %llu in, %llu writes; floor %.3f ms\n", (unsigned long long)f.out,
                (unsigned long long)f.in, (unsigned long long)f.exchanges, Median(f.floorMs));
    std::printf("  wall     median %.3f ms (min %.3f, max %.3f) over %zu runs\n", Median(f.wallMs),
                *std::min_element(f.wallMs.begin(), f.wallMs.end()), *std::max_element(f.wallMs.begin(), f.wallMs.end()),
                f.wallMs.size());
    std::printf("  wall / floor median %.4f (min %.4f, max %.4f)\n", Median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));
    std::printf("  CPU of the program  median %.3f ms = %.2f %% of the wall time\n", Median(f.cpuMs),
                100 * Median(f.cpuMs) / Median(f.wallMs));
    std::printf("  program's share per exchange (port event to next write): median %.3f ms, 99th %.3f ms, max %.3f ms\n",
                Median(f.shareMs), Percentile(f.shareMs, 99), Percentile(f.shareMs, 100));
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 5;
    std::vector<std::string> simArgs{"--baud-model", "line"};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--") {
            simArgs.insert(simArgs.end(), argv + i + 1, argv + argc);
            break;
        } else {
            std::fprintf(stderr, "usage: zr8_config_bench [--rounds N] [-- zr8sim options...]\n");
            return 2;
        }
    }
    char pattern[] = "/tmp/zr8-config-bench-XXXXXX";
    if (!::mkdtemp(pattern)) return 1;
    const std::filesystem::path scratch = pattern;
    // The standard file: every byte of 0x000-0x3FF, of which the restore writes the
    // 1017 writable ones.
    std::vector<BYTE> image(0x400);
    for (size_t a = 0; a < image.size(); ++a) image[a] = BYTE(a * 13 + 5);
    CConfigFileHeader header;
    header.serialNumber = 12345;
    const std::wstring file = CodePages::FromUtf8((scratch / "standard.ZR8Config").string());
    if (!WriteConfigurationFile(nullptr, file, CSaveTime::Now(), image.data(), header)) return 1;

    CSimProcess sim;
    std::string error;
    if (!sim.Start(simArgs, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    CMachineRig rig;
    const DWORD contact = rig.Contact(CodePages::FromUtf8(sim.SlavePath()), 30000);
    if (contact != 0) {
        std::fprintf(stderr, "contact failed: 0x%08X\n", unsigned(contact));
        return 1;
    }
    CFigures save, restore, banner;
    for (int r = 0; r < rounds; ++r) {
        CConfigSaveStateMachine saver(rig.Model());
        Measure(rig, sim, save, [&] { return rig.RunOperation(&saver, [&] { return saver.Start(rig.Owner()); }, 60000); });
        CConfigRestoreStateMachine restorer(rig.Model());
        if (restorer.ReadFile(file, rig.Owner()) != 0) return 1;
        Measure(rig, sim, restore,
                [&] { return rig.RunOperation(&restorer, [&] { return restorer.Start(rig.Owner()); }, 120000); });
        CBannerStateMachine writer(rig.Model());
        Measure(rig, sim, banner, [&] {
            return rig.RunOperation(&writer, [&] { return writer.StartWrite(rig.Owner(), L"BENCH 0123456789"); }, 60000);
        });
    }
    rig.Model().ClosePort();
    sim.Stop();
    std::filesystem::remove_all(scratch);

    std::printf("configuration operations against zr8sim at 9600 bit/s (line model), %d runs each\n", rounds);
    Print("configuration save (0x000-0x3FF)", save);
    Print("configuration restore of a standard file (then contact again)", restore);
    Print("banner write with its read-back", banner);
    return save.result || restore.result || banner.result ? 1 : 0;
}
