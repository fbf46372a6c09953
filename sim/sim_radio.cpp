#include "sim/sim_radio.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// Line noise that never forms a terminator the program listens for.
const uint8_t kNoise[] = {0x00, 0xFF, 0x80, 0x7E, 0x55, 0xAA, 0x0F, 0xF0, 0x13, 0xE5};

}  // namespace

CSimRadio::CSimRadio(const CSimOptions& options, ISimClock& clock)
    : m_options(options),
      m_clock(clock),
      m_app(m_eeprom, m_options.faults, options.serialNumber),
      m_bootLoader(m_flash, m_options.faults, options.flashMs, options.bootLoaderEchoOnly) {
    if (!m_options.eepromFile.empty()) {
        std::string error;
        // A missing file is a fresh radio; the first write creates the file.
        FILE* probe = std::fopen(m_options.eepromFile.c_str(), "rb");
        if (probe) {
            std::fclose(probe);
            if (!m_eeprom.Load(m_options.eepromFile, error)) m_startError = error;
        }
    }
    m_eeprom.SetLogFile(m_options.writeLogFile);
    m_app.Start(m_options.version);
    if (m_options.startInBootLoader) StartBootLoader();
}

CSimRadio::~CSimRadio() {
    for (ISimClock::TimerId id : m_timers) m_clock.Cancel(id);
}

void CSimRadio::Receive(uint8_t byte) {
    CRadioAction action;
    const size_t writesBefore = m_eeprom.WriteLog().size();
    switch (m_mode) {
    case RadioMode::Application: action = m_app.Receive(byte); break;
    case RadioMode::BootLoader: action = m_bootLoader.Receive(byte); break;
    default: return;  // deaf while restarting, and after a power loss
    }
    if (!action.reply.empty()) Reply(action.reply, action.delayMs);
    switch (action.then) {
    case CRadioAction::Then::Stay:
        break;
    case CRadioAction::Then::EnterBootLoader:
        RestartInto(RadioMode::BootLoader, m_options.restartMs);
        break;
    case CRadioAction::Then::StartApplication:
        RestartInto(RadioMode::Application, action.delayMs + m_options.restartMs);
        break;
    case CRadioAction::Then::PowerLoss:
        m_mode = RadioMode::Dead;
        break;
    }
    if (m_eeprom.WriteLog().size() != writesBefore) SaveEeprom();
}

void CSimRadio::Reply(const std::string& bytes, uint32_t delayMs) {
    const uint64_t n = ++m_replies;
    const CSimFaults& faults = m_options.faults;
    if (faults.DropsReply(n)) return;
    std::string out;
    for (uint32_t i = 0; i < faults.GarbageBefore(n); ++i) out += static_cast<char>(kNoise[i % sizeof kNoise]);
    // A mute radio's line may still carry noise: the garbage goes out without the reply.
    if (!faults.SilentAt(n)) out += bytes;
    if (out.empty()) return;
    delayMs += faults.LateMs(n);
    // A reply's delay (the flash time of a packet, say) runs from when the byte that asked
    // for it was in, not from the moment the line's timer ran.
    const uint64_t now = m_clock.NowUs();
    const uint64_t arrival = m_output ? m_output->ArrivalUs() : 0;
    const uint64_t from = arrival && arrival < now ? arrival : now;
    const uint64_t at = std::max(from + uint64_t(delayMs) * 1000, m_lastSendAtUs);
    m_lastSendAtUs = at;
    if (at <= now) SendNow(out, from);
    else ScheduleUs(at - now, [this, out, at]() { SendNow(out, at); });
}

void CSimRadio::SendNow(const std::string& bytes, uint64_t atUs) {
    if (m_mode == RadioMode::Dead) return;
    m_sent.push_back(bytes);
    if (m_output) m_output->TransmitAt(bytes, atUs);
}

void CSimRadio::Schedule(uint32_t delayMs, std::function<void()> call) {
    ScheduleUs(uint64_t(delayMs) * 1000, std::move(call));
}

void CSimRadio::ScheduleUs(uint64_t delayUs, std::function<void()> call) {
    // The id is only known once After returns, so the call finds itself through a shared slot.
    auto slot = std::make_shared<ISimClock::TimerId>(0);
    *slot = m_clock.AfterUs(delayUs, [this, call, slot]() {
        m_timers.erase(*slot);
        call();
    });
    m_timers.insert(*slot);
}

void CSimRadio::RestartInto(RadioMode mode, uint32_t delayMs) {
    m_mode = RadioMode::Restarting;
    if (mode == RadioMode::BootLoader) Schedule(delayMs, [this]() { StartBootLoader(); });
    else Schedule(delayMs, [this]() { StartApplicationAfterLoad(); });
}

void CSimRadio::StartBootLoader() {
    m_bootLoader.Start();
    m_mode = RadioMode::BootLoader;
}

void CSimRadio::StartApplicationAfterLoad() {
    ++m_loads;
    int version = m_options.loadVersion;
    if (version < 0) version = m_flash.TaggedVersion();
    if (version < 0) version = m_app.Version();
    m_app.Start(static_cast<uint16_t>(version));
    m_mode = RadioMode::Application;
    if (!m_options.flashDumpFile.empty()) {
        std::string error;
        m_flash.Dump(m_options.flashDumpFile, error);
    }
}

void CSimRadio::PowerCycle() {
    for (ISimClock::TimerId id : m_timers) m_clock.Cancel(id);
    m_timers.clear();
    m_lastSendAtUs = 0;
    if (m_flash.HoldsMarker() || (m_options.startInBootLoader && m_loads == 0)) {
        StartBootLoader();
    } else {
        m_app.Start(m_app.Version());
        m_mode = RadioMode::Application;
    }
}

void CSimRadio::SaveEeprom() {
    if (m_options.eepromFile.empty()) return;
    std::string error;
    m_eeprom.Save(m_options.eepromFile, error);
}
