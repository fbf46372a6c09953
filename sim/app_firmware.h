// The radio's application firmware as the host sees it: a text protocol of commands
// collected up to ";" and answered by text ending in ";".
#pragma once

#include <cstdint>
#include <string>

#include "sim/radio_action.h"
#include "sim/sim_eeprom.h"
#include "sim/sim_faults.h"

class CAppFirmware {
public:
    static constexpr size_t kMaxCommand = 160;  // an "EW" of 64 bytes is 139 characters

    CAppFirmware(CSimEeprom& eeprom, CSimFaults& faults, uint16_t serialNumber);

    void Start(uint16_t version);  // a fresh start: empty command buffer, terminal on
    uint16_t Version() const { return m_version; }
    bool TextTerminalOn() const { return m_textTerminal; }

    CRadioAction Receive(uint8_t byte);

private:
    CRadioAction Execute(const std::string& command);
    CRadioAction ReadBlock(const std::string& command);
    CRadioAction WriteBlock(const std::string& command);

    CSimEeprom& m_eeprom;
    CSimFaults& m_faults;
    uint16_t m_serialNumber;
    uint16_t m_version = 0;
    bool m_textTerminal = true;
    bool m_overflow = false;
    std::string m_command;
    uint64_t m_reads = 0;
    uint64_t m_writes = 0;
};
