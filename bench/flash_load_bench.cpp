// Firmware load benchmark: zr8sim on a pseudo-terminal with its 9600 bit/s line model and a
// flash time per packet, the program's own contact machine and CMcuLoaderStateMachine on
// the real clock through CSerialPort's terminal device, exactly as the command-line tool
// runs them. Prints the wall time of the 993-packet phase against its floor (the bytes that
// crossed the line, 10 bit times each, plus the boot loader's flash time per packet), the
// same for the whole run, and the CPU time this process spent. It loads once for each
// latency timer of the USB adapter zr8sim models (0, 1 and 16 ms unless told), and ends
// with a table of the three. With --ser2net the program reaches the radio through ser2net
// on the loopback instead (a telnet(rfc2217) accepter and the network device's
// "rfc2217://", or a raw one and "socket://").
//
//   zr8_flash_load_bench [--flash-ms N] [--adapter-latency MS[,MS...]] [--trace] [--zr8sim PATH]
//                        [--ser2net telnet|raw]
//                        [-- zr8sim options...]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/model/contact_state_machine.h"
#include "core/model/model_base.h"
#include "core/text/app_messages.h"
#include "core/text/error_text.h"
#include "firmware/mcu_loader_state_machine.h"
#include "platform/code_pages.h"
#include "platform/message_loop.h"
#include "platform/message_window.h"
#include "platform/settings_store.h"
#include "process_usage.h"
#include "sim/firmware_gen.h"
#include "tests/cli/port_server_process.h"
#include "tests/core/serial/sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kBitRate = 9600;
constexpr double kBitsPerByte = 10;  // start bit, 8 data bits, stop bit
constexpr unsigned kPackets = 993;
constexpr DWORD kPacketSize = 68;
// Pauses the machines make on purpose: 2000 ms after "LD;", 4000 ms for the restart after
// the final packet, and 10 ms after each of the two "TT0;" (first contact and reconnect).
constexpr double kPrescribedPauseMs = 2000 + 4000 + 2 * 10;

struct Options {
    unsigned flashMs = 8;
    std::vector<unsigned> latenciesMs{0, 1, 16};
    bool trace = false;
    std::string zr8sim = ZR8SIM_PATH;
    std::vector<std::string> simArgs;
    std::string ser2net;  // "", "telnet" or "raw"
};

void Usage() {
    std::fprintf(stderr,
                 "usage: zr8_flash_load_bench [--flash-ms N] [--adapter-latency MS[,MS...]] [--trace] [--zr8sim PATH]\n"
                 "                            [--ser2net telnet|raw] [-- zr8sim options...]\n");
}

bool ParseLatencies(const char* text, std::vector<unsigned>& latencies) {
    latencies.clear();
    const char* p = text;
    while (*p) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(p, &end, 10);
        if (end == p || value > 255 || (*end && *end != ',')) return false;
        latencies.push_back(static_cast<unsigned>(value));
        p = *end ? end + 1 : end;
    }
    return !latencies.empty();
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--flash-ms" && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long value = std::strtoul(argv[++i], &end, 10);
            if (*end || value > 2000) return false;
            options.flashMs = static_cast<unsigned>(value);
        } else if (arg == "--adapter-latency" && i + 1 < argc) {
            if (!ParseLatencies(argv[++i], options.latenciesMs)) return false;
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--zr8sim" && i + 1 < argc) {
            options.zr8sim = argv[++i];
        } else if (arg == "--ser2net" && i + 1 < argc) {
            options.ser2net = argv[++i];
            if (options.ser2net != "telnet" && options.ser2net != "raw") return false;
        } else if (arg == "--") {
            options.simArgs.assign(argv + i + 1, argv + argc);
            break;
        } else {
            return false;
        }
    }
    return true;
}

class CScratchDir {
public:
    CScratchDir() {
        char pattern[] = "/tmp/zr8-bench-XXXXXX";
        if (::mkdtemp(pattern)) m_path = pattern;
    }
    ~CScratchDir() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    CScratchDir(const CScratchDir&) = delete;
    CScratchDir& operator=(const CScratchDir&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// What the run had used at one moment.
struct Snapshot {
    Clock::time_point time;
    double cpu = 0;
    double simCpu = 0;
    ProcessUsage::ChildIo simIo;
    uint64_t bytesOut = 0;
    uint64_t portEvents = 0;
    uint64_t timerTicks = 0;
};

// The model as the programs have it, counting what the machines write to the port.
class CCountingModel : public CModel {
public:
    CCountingModel() : CModel(CreateMemorySettingsStore()) {}

    BOOL WriteText(const wchar_t* text) override {
        m_bytesOut += CodePages::ToUtf8(text).size();
        return CModel::WriteText(text);
    }
    BOOL WriteBytes(const void* buffer, DWORD length) override {
        if (length == kPacketSize) {
            const Clock::time_point now = Clock::now();
            if (m_packetWrites.empty() && m_onFirstPacket) m_onFirstPacket();
            else m_handlingMs.push_back(std::chrono::duration<double, std::milli>(now - m_lastEvent).count());
            m_packetWrites.push_back(now);
        }
        m_bytesOut += length;
        return CModel::WriteBytes(buffer, length);
    }

    // The port event that brought the previous packet's acknowledgement: the time from
    // its dispatch to the next packet's write is the program's own share of each packet.
    void PortEventDispatched() { m_lastEvent = Clock::now(); }

    uint64_t BytesOut() const { return m_bytesOut; }
    const std::vector<double>& HandlingMs() const { return m_handlingMs; }
    const std::vector<Clock::time_point>& PacketWrites() const { return m_packetWrites; }
    void OnFirstPacket(std::function<void()> call) { m_onFirstPacket = std::move(call); }

private:
    uint64_t m_bytesOut = 0;
    std::vector<Clock::time_point> m_packetWrites;
    std::vector<double> m_handlingMs;
    Clock::time_point m_lastEvent;
    std::function<void()> m_onFirstPacket;
};

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

double LineSeconds(uint64_t bytes) { return double(bytes) * kBitsPerByte / kBitRate; }

struct Phase {
    double wall = 0;
    uint64_t simFileBytes = 0;  // written by zr8sim to files, not to the line
    double cpu = 0;
    double simCpu = 0;
    uint64_t out = 0;        // counted by the program
    uint64_t simRead = 0;    // what zr8sim read from its end (should equal out)
    uint64_t in = 0;         // what zr8sim wrote to its end
    bool ioKnown = false;
    uint64_t portEvents = 0;
    uint64_t timerTicks = 0;
};

Phase Between(const Snapshot& a, const Snapshot& b) {
    Phase p;
    p.wall = Seconds(a.time, b.time);
    p.cpu = b.cpu - a.cpu;
    p.simCpu = (a.simCpu >= 0 && b.simCpu >= 0) ? b.simCpu - a.simCpu : -1;
    p.out = b.bytesOut - a.bytesOut;
    p.ioKnown = a.simIo.known && b.simIo.known;
    p.simRead = b.simIo.bytesRead - a.simIo.bytesRead;
    p.in = b.simIo.bytesWritten - a.simIo.bytesWritten;
    p.portEvents = b.portEvents - a.portEvents;
    p.timerTicks = b.timerTicks - a.timerTicks;
    return p;
}

double LineFloor(const Phase& p) { return LineSeconds(p.out + (p.ioKnown ? p.in - p.simFileBytes : 0)); }

void PrintPhase(const char* name, const Phase& p, double floorExtraSeconds, const char* extraNote) {
    const uint64_t in = p.ioKnown ? p.in - p.simFileBytes : 0;
    const double lineFloor = LineFloor(p);
    const double floor = lineFloor + floorExtraSeconds;
    std::printf("%s:\n", name);
    std::printf("  wall time            %9.3f s\n", p.wall);
    if (p.ioKnown)
        std::printf("  bytes on the line    %9llu out (zr8sim read %llu), %llu in%s\n", (unsigned long long)p.out,
                    (unsigned long long)p.simRead, (unsigned long long)in,
                    p.simFileBytes ? " (zr8sim's writes less its flash dump file)" : "");
    else
        std::printf("  bytes on the line    %9llu out, in unknown (no /proc/PID/io)\n", (unsigned long long)p.out);
    std::printf("  line time            %9.3f s  (bytes x %.0f / %.0f)\n", lineFloor, kBitsPerByte, kBitRate);
    std::printf("  floor                %9.3f s  (line time + %s %.3f s)\n", floor, extraNote, floorExtraSeconds);
    std::printf("  wall / floor         %9.4f\n", floor > 0 ? p.wall / floor : 0.0);
    std::printf("  CPU (user+sys)       %9.3f s  = %.2f %% of wall\n", p.cpu, p.wall > 0 ? 100 * p.cpu / p.wall : 0.0);
    if (p.simCpu >= 0) std::printf("  zr8sim CPU           %9.3f s  = %.2f %% of wall\n", p.simCpu, 100 * p.simCpu / p.wall);
    std::printf("  port events          %9llu, timer ticks %llu\n", (unsigned long long)p.portEvents,
                (unsigned long long)p.timerTicks);
}

double Median(std::vector<double> ms) {
    if (ms.empty()) return 0;
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void PrintSpread(const char* name, std::vector<double> ms, const char* note) {
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    std::printf("  %-20s median %.3f ms, 99th %.3f ms, max %.3f ms%s\n", name, ms[ms.size() / 2],
                ms[ms.size() * 99 / 100], ms.back(), note);
}

void PrintPacketTimes(const CCountingModel& model, unsigned flashMs) {
    const std::vector<Clock::time_point>& writes = model.PacketWrites();
    std::vector<double> gaps;
    for (size_t i = 1; i < writes.size(); ++i) gaps.push_back(1000 * Seconds(writes[i - 1], writes[i]));
    char floor[64];
    std::snprintf(floor, sizeof floor, " (floor %.3f ms)", 1000 * LineSeconds(kPacketSize + 1) + flashMs);
    PrintSpread("packet to packet", gaps, floor);
    PrintSpread("event to next write", model.HandlingMs(), " (the program's own share)");
}

bool SameFile(const std::filesystem::path& path, const uint8_t* bytes, size_t size) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return content.size() == size && std::memcmp(content.data(), bytes, size) == 0;
}

// One load's figures for the closing table.
struct LoadSummary {
    unsigned latencyMs = 0;
    double packetWall = 0;
    double packetFloor = 0;
    double packetToPacketMs = 0;  // median
    double ownShareMs = 0;        // median, event to next write
    double wholeWall = 0;
    double wholeFloor = 0;
};

int LoadOnce(const Options& options, unsigned latencyMs, LoadSummary& summary) {
    summary.latencyMs = latencyMs;
    CScratchDir scratch;
    if (scratch.Path().empty()) {
        std::perror("mkdtemp");
        return 1;
    }

    // A full image: code in every byte from 0x0800 to 0xFFFF.
    CFirmwareGenOptions firmware;
    firmware.codeEnd = 0x10000;
    const std::filesystem::path hexPath = scratch.Path() / FirmwareFileName(firmware.version);
    const std::filesystem::path flashDump = scratch.Path() / "flash.bin";
    std::string error;
    if (!WriteFirmwareFile(hexPath.string(), firmware, error)) {
        std::fprintf(stderr, "cannot write the firmware file: %s\n", error.c_str());
        return 1;
    }

    std::vector<std::string> simArgs{"--baud-model", "line", "--flash-ms", std::to_string(options.flashMs),
                                     "--flash-dump", flashDump.string(), "--adapter-latency",
                                     std::to_string(latencyMs)};
    simArgs.insert(simArgs.end(), options.simArgs.begin(), options.simArgs.end());
    CSimProcess sim;
    if (!sim.Start(simArgs, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    std::unique_ptr<CPortServerProcess> server;
    std::string portName = sim.SlavePath();
    if (!options.ser2net.empty()) {
        server = std::make_unique<CPortServerProcess>(
            options.ser2net == "telnet" ? PortServerKind::Ser2NetTelnet : PortServerKind::Ser2NetRaw, sim.SlavePath());
        if (!server->Start()) {
            std::fprintf(stderr, "ser2net did not start: %s\n", server->Log().c_str());
            return 1;
        }
        portName = server->Url();
    }

    CCountingModel model;
    uint64_t portEvents = 0, timerTicks = 0;
    std::vector<DWORD> completions;
    bool resetWaitSeen = false;
    unsigned logLines = 0;
    Snapshot start, firstPacket, lastAck, loaderStart, end;
    auto snap = [&](Snapshot& s) {
        s.simIo = ProcessUsage::ReadChildIo(sim.Pid());
        s.simCpu = ProcessUsage::ChildCpuSeconds(sim.Pid());
        s.bytesOut = model.BytesOut();
        s.portEvents = portEvents;
        s.timerTicks = timerTicks;
        s.cpu = ProcessUsage::SelfCpuSeconds();
        s.time = Clock::now();
    };

    CMessageWindow mainWindow, dialog, progressBar;
    mainWindow.Create([&](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_APP_PORT_EVENT) {
            ++portEvents;
            model.PortEventDispatched();
            model.RoutePortEvent(message, wParam, lParam);
        } else if (message == WM_TIMER) {
            ++timerTicks;
            model.RouteTimer(message, wParam, lParam);
        }
        return 0;
    });
    dialog.Create([&](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_APP_LOG_TEXT) {
            const wchar_t* line = reinterpret_cast<const wchar_t*>(lParam);
            // "Waiting 4 seconds for reset": the final packet has just been acknowledged.
            if (!resetWaitSeen && std::wcsncmp(line, L"Waiting ", 8) == 0) {
                resetWaitSeen = true;
                snap(lastAck);
            }
            ++logLines;
        }
        if (message == WM_APP_MACHINE_DONE) completions.push_back(DWORD(wParam));
        return 0;
    });
    progressBar.Create([](UINT, WPARAM, LPARAM) -> LRESULT { return 0; }, dialog.Handle(),
                       CMcuLoaderStateMachine::kProgressBarId);

    model.SetWindow(mainWindow.Handle());
    model.m_completionEvent.AddObserver(dialog.Handle());
    model.m_port.Set(CodePages::FromUtf8(portName));
    model.m_trace.Set(options.trace ? 1 : 0);
    model.OnFirstPacket([&] { snap(firstPacket); });

    snap(start);
    model.ContactMachine().StartOpenPort();
    if (!MessageLoop::RunUntil([&] { return !completions.empty(); }, 30 * 1000) || completions[0] != 0 ||
        model.m_device.Get() != DeviceZR8) {
        std::fprintf(stderr, "contact failed: 0x%08X\n", completions.empty() ? 0u : unsigned(completions[0]));
        return 1;
    }

    const std::wstring firmwarePath = CodePages::FromUtf8(hexPath.string());
    CMcuLoaderStateMachine loader(model, L"MCU", firmwarePath);
    model.AttachOperation(&loader);
    snap(loaderStart);
    if (!loader.Start(dialog.Handle())) {
        std::fprintf(stderr, "the loader did not start: 0x%08X\n", unsigned(GetLastError()));
        return 1;
    }
    const bool done = MessageLoop::RunUntil([&] { return completions.size() >= 2; }, 10 * 60 * 1000);
    snap(end);
    const DWORD result = done ? completions[1] : ERROR_TIMEOUT;
    const unsigned version = model.m_mcuVersion.Get();
    model.ClosePort();
    sim.Stop();  // writes the flash dump

    std::printf("firmware load against zr8sim at 9600 bit/s, flash time %u ms per packet, adapter latency %u ms, "
                "trace %s, port %s\n",
                options.flashMs, latencyMs, options.trace ? "on" : "off", portName.c_str());
    std::printf("result 0x%08X %s, MCU version after %02u.%02u, packets written %zu\n", unsigned(result),
                CodePages::ToUtf8(GetErrorText(result)).c_str(), version / 100, version % 100,
                model.PacketWrites().size());
    const bool flashOk = SameFile(flashDump, loader.Image().Bytes(), CHexImage::kSize);
    std::printf("radio's flash %s the image; %u lines to the loader's log\n", flashOk ? "equals" : "DIFFERS FROM",
                logLines);
    if (result != 0 || !resetWaitSeen || !flashOk) return 1;

    const Phase packets = Between(firstPacket, lastAck);
    const double flashSeconds = kPackets * options.flashMs / 1000.0;
    PrintPhase("packet phase (first packet written to final packet acknowledged)", packets, flashSeconds,
               "flash time of 993 packets");
    PrintPacketTimes(model, options.flashMs);
    // zr8sim writes its flash dump file when the radio restarts after the load.
    Phase whole = Between(start, end);
    whole.simFileBytes = CHexImage::kSize;
    const double wholeExtra = flashSeconds + kPrescribedPauseMs / 1000;
    PrintPhase("whole run (contact, load, reconnect)", whole, wholeExtra, "flash time and the machines' own pauses");
    std::printf("  of which the loader  %9.3f s\n\n", Seconds(loaderStart.time, end.time));

    summary.packetWall = packets.wall;
    summary.packetFloor = LineFloor(packets) + flashSeconds;
    std::vector<double> gaps;
    for (size_t i = 1; i < model.PacketWrites().size(); ++i)
        gaps.push_back(1000 * Seconds(model.PacketWrites()[i - 1], model.PacketWrites()[i]));
    summary.packetToPacketMs = Median(gaps);
    summary.ownShareMs = Median(model.HandlingMs());
    summary.wholeWall = whole.wall;
    summary.wholeFloor = LineFloor(whole) + wholeExtra;
    return 0;
}

// The floor leaves the adapter out: what the latency costs shows in wall / floor.
void PrintLatencyTable(const std::vector<LoadSummary>& loads) {
    std::printf("adapter latency | packet phase wall / floor | ratio | packet to packet (median) | "
                "program's share (median) | whole run wall / floor | ratio\n");
    for (const LoadSummary& s : loads)
        std::printf("%3u ms | %.3f s / %.3f s | %.4f | %.3f ms | %.3f ms | %.3f s / %.3f s | %.4f\n", s.latencyMs,
                    s.packetWall, s.packetFloor, s.packetFloor > 0 ? s.packetWall / s.packetFloor : 0.0,
                    s.packetToPacketMs, s.ownShareMs, s.wholeWall, s.wholeFloor,
                    s.wholeFloor > 0 ? s.wholeWall / s.wholeFloor : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        Usage();
        return 2;
    }
    std::vector<LoadSummary> loads;
    for (unsigned latencyMs : options.latenciesMs) {
        LoadSummary summary;
        if (const int code = LoadOnce(options, latencyMs, summary)) return code;
        loads.push_back(summary);
    }
    PrintLatencyTable(loads);
    return 0;
}
