// The simulated ZR8: application firmware, boot loader, EEPROM and flash, with the faults
// it was given. It takes bytes as they finish arriving at its UART and hands its replies
// to the line; its own delays (flash writes, restarts, late answers) run on the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "sim/app_firmware.h"
#include "sim/boot_loader.h"
#include "sim/sim_clock.h"
#include "sim/sim_eeprom.h"
#include "sim/sim_flash.h"
#include "sim/sim_options.h"

enum class RadioMode { Application, BootLoader, Restarting, Dead };

class ISimRadioOutput {
public:
    virtual ~ISimRadioOutput() = default;
    virtual void Transmit(const std::string& bytes) = 0;
    // While the radio takes a byte: when its last bit was in (µs on the clock), else 0.
    virtual uint64_t ArrivalUs() const { return 0; }
    // A reply that was due to leave at atUs (µs on the clock), though its timer ran later.
    virtual void TransmitAt(const std::string& bytes, uint64_t atUs) { Transmit(bytes); }
};

class CSimRadio {
public:
    // Fails (error set) only when the EEPROM file cannot be read.
    CSimRadio(const CSimOptions& options, ISimClock& clock);
    ~CSimRadio();
    CSimRadio(const CSimRadio&) = delete;
    CSimRadio& operator=(const CSimRadio&) = delete;

    const std::string& StartError() const { return m_startError; }
    void SetOutput(ISimRadioOutput* output) { m_output = output; }

    void Receive(uint8_t byte);

    // Switch off and on: pending replies are lost; the radio comes up in its boot loader
    // when a load was broken off (the marker is still in flash), else in its application.
    void PowerCycle();

    RadioMode Mode() const { return m_mode; }
    uint16_t Version() const { return m_app.Version(); }
    uint64_t RepliesMade() const { return m_replies; }
    const std::vector<std::string>& Replies() const { return m_sent; }  // as handed to the line
    CSimEeprom& Eeprom() { return m_eeprom; }
    CSimFlash& Flash() { return m_flash; }
    const CBootLoader& BootLoader() const { return m_bootLoader; }
    uint32_t FirmwareLoads() const { return m_loads; }

private:
    void Reply(const std::string& bytes, uint32_t delayMs);
    void RestartInto(RadioMode mode, uint32_t delayMs);
    void Schedule(uint32_t delayMs, std::function<void()> call);
    void ScheduleUs(uint64_t delayUs, std::function<void()> call);
    void SendNow(const std::string& bytes, uint64_t atUs);  // atUs: when it was due to leave
    void StartApplicationAfterLoad();
    void StartBootLoader();
    void SaveEeprom();

    CSimOptions m_options;
    ISimClock& m_clock;
    ISimRadioOutput* m_output = nullptr;
    CSimEeprom m_eeprom;
    CSimFlash m_flash;
    CAppFirmware m_app;
    CBootLoader m_bootLoader;
    RadioMode m_mode = RadioMode::Application;
    std::string m_startError;
    uint64_t m_replies = 0;
    uint64_t m_lastSendAtUs = 0;  // replies leave in order, whatever their delays
    uint32_t m_loads = 0;
    std::vector<std::string> m_sent;
    std::set<ISimClock::TimerId> m_timers;
};
