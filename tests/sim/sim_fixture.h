// A simulated radio on its line, with the test as the program at the other end.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/simulator.h"
#include "tests/sim/manual_clock.h"

class CRecordingHost : public ISimHostSide {
public:
    void DeliverToHost(const uint8_t* bytes, size_t count) override { received.append(reinterpret_cast<const char*>(bytes), count); }
    void HangUp() override { hungUp = true; }
    std::string received;
    bool hungUp = false;
};

class CRadioOnLine {
public:
    explicit CRadioOnLine(CSimOptions options = Instant()) : m_sim(options, clock) { m_sim.Link().AttachHost(&host); }
    ~CRadioOnLine() { m_sim.Link().DetachHost(&host); }

    static CSimOptions Instant() {
        CSimOptions o;
        o.baudModel = BaudModel::Instant;
        return o;
    }
    static CSimOptions WithFaults(const std::vector<std::string>& faults, CSimOptions o = Instant()) {
        std::string error;
        for (const std::string& f : faults) o.faults.Add(f, error);
        return o;
    }

    void Send(const std::string& bytes) {
        m_sim.Link().FromHost(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    void Send(const std::vector<uint8_t>& bytes) { m_sim.Link().FromHost(bytes.data(), bytes.size()); }
    // What came back within waitMs of sending.
    std::string Talk(const std::string& bytes, uint32_t waitMs = 1000) {
        host.received.clear();
        Send(bytes);
        clock.Advance(waitMs);
        return host.received;
    }
    std::string Talk(const std::vector<uint8_t>& bytes, uint32_t waitMs = 1000) {
        host.received.clear();
        Send(bytes);
        clock.Advance(waitMs);
        return host.received;
    }

    CSimRadio& Radio() { return m_sim.Radio(); }
    CSimLink& Link() { return m_sim.Link(); }

    CManualClock clock;
    CRecordingHost host;

private:
    CSimulator m_sim;
};
