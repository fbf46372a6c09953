// Records the seeds of the hostile radio: each machine run against the simulated radio
// (a few with its faults), every answer the radio gave to every write written down in
// the script format, so that the fuzzer starts from real exchanges.
//
//   fuzz_hostile_radio_seeds FOLDER
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "hostile_script.h"
#include "machine_run.h"
#include "sim/loop_clock.h"
#include "sim/sim_serial_device.h"
#include "sim/simulator.h"

namespace {

// The simulator's device, keeping what it sent back after each write of the program:
// what the port read, and what a purge threw away.
class CRecordingDevice : public ISerialDevice {
public:
    CRecordingDevice(std::unique_ptr<ISerialDevice> inner, std::vector<std::string>& answers,
                     CMachineRun::WriteObserver observer)
        : m_inner(std::move(inner)), m_answers(answers), m_observer(std::move(observer)) {}
    void SetBytesWaitingCallback(std::function<void()> callback) override {
        m_inner->SetBytesWaitingCallback(std::move(callback));
    }
    DWORD SetBaudRate(DWORD rate) override { return m_inner->SetBaudRate(rate); }
    DWORD Write(const uint8_t* data, size_t length, size_t& written) override {
        m_observer(std::string(reinterpret_cast<const char*>(data), length));
        m_answers.emplace_back();
        return m_inner->Write(data, length, written);
    }
    DWORD Read(uint8_t* buffer, size_t length, size_t& count) override {
        const DWORD rc = m_inner->Read(buffer, length, count);
        if (!m_answers.empty()) m_answers.back().append(reinterpret_cast<const char*>(buffer), count);
        return rc;
    }
    DWORD PurgeReceive() override {
        uint8_t buffer[256];
        size_t count = 0;
        while (m_inner->BytesWaiting() > 0 && m_inner->Read(buffer, sizeof buffer, count) == 0 && count > 0)
            if (!m_answers.empty()) m_answers.back().append(reinterpret_cast<const char*>(buffer), count);
        return m_inner->PurgeReceive();
    }
    size_t BytesWaiting() const override { return m_inner->BytesWaiting(); }

private:
    std::unique_ptr<ISerialDevice> m_inner;
    std::vector<std::string>& m_answers;
    CMachineRun::WriteObserver m_observer;
};

// Runs of equal answers become repeats (multiples of four), the rest single answers.
std::string Encode(const CHostileStart& start, const std::vector<std::string>& answers) {
    std::string script = HostileScriptWriter::Header(start);
    for (size_t i = 0; i < answers.size();) {
        size_t run = 1;
        while (i + run < answers.size() && answers[i + run] == answers[i]) ++run;
        const size_t extra = std::min<size_t>((run - 1) / 4 * 4, 255 * 4);
        if (!answers[i].empty() && extra >= 4) {
            script += HostileScriptWriter::Repeat(answers[i], extra);
            i += extra + 1;
            continue;
        }
        script += answers[i].empty() ? HostileScriptWriter::Silence() : HostileScriptWriter::Answer(answers[i]);
        ++i;
    }
    return script;
}

struct CSeed {
    const char* name;
    CHostileStart start;
    std::vector<const char*> faults;
    bool radioInBootLoader = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_hostile_radio_seeds FOLDER\n");
        return 2;
    }
    std::string error;
    if (!CMachineRun::Prepare(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    using M = HostileMachine;
    const CSeed seeds[] = {
        {"contact", {M::Contact, false, false}, {}},
        {"contact_trace", {M::Contact, true, false}, {}},
        {"contact_boot_loader", {M::Contact, false, false}, {}, true},
        {"contact_garbage", {M::Contact, false, false}, {"garbage=2"}},
        {"loader", {M::Loader, false, false}, {}},
        {"loader_from_boot_loader", {M::Loader, false, true}, {}, true},
        {"loader_refused_packets", {M::Loader, false, false}, {"refuse-packet=5x5", "drop-packet-reply=9"}},
        {"save", {M::Save, false, false}, {}},
        {"save_bad_checksum", {M::Save, true, false}, {"bad-checksum=2"}},
        {"restore", {M::Restore, false, false}, {}},
        {"restore_dropped_reply", {M::Restore, false, false}, {"drop-reply=12"}},
        {"banner_write", {M::BannerWrite, false, false}, {}},
        {"banner_read", {M::BannerRead, true, false}, {}},
    };
    int failures = 0;
    for (const CSeed& seed : seeds) {
        CSimOptions options;
        options.baudModel = BaudModel::Line;
        options.startInBootLoader = seed.radioInBootLoader;
        for (const char* fault : seed.faults)
            if (!options.faults.Add(fault, error)) {
                std::fprintf(stderr, "%s: %s\n", seed.name, error.c_str());
                return 1;
            }
        CLoopClock clock;
        CSimulator radio(options, clock);
        std::vector<std::string> answers;
        CMachineRun run;
        const CMachineOutcome outcome = run.Run(
            seed.start,
            [&](CMachineRun::WriteObserver observer) {
                return std::make_unique<CRecordingDevice>(std::make_unique<CSimSerialDevice>(radio), answers,
                                                          std::move(observer));
            },
            [] { return false; });
        const std::string script = Encode(seed.start, answers);
        const std::string path = std::string(argv[1]) + "/" + seed.name + ".bin";
        std::ofstream(path, std::ios::binary) << script;
        std::printf("%-26s result 0x%08X, %zu writes, %zu bytes%s%s\n", seed.name, unsigned(outcome.result),
                    outcome.writes, script.size(), outcome.violation.empty() ? "" : ", VIOLATION: ",
                    outcome.violation.c_str());
        if (!outcome.violation.empty() || outcome.completions != 1) ++failures;
    }
    return failures == 0 ? 0 : 1;
}
