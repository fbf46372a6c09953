// What the radio does after taking one byte: maybe a reply (after a delay), maybe a
// change of the program it runs.
#pragma once

#include <cstdint>
#include <string>

struct CRadioAction {
    enum class Then { Stay, EnterBootLoader, StartApplication, PowerLoss };
    std::string reply;       // nothing is sent when empty
    uint32_t delayMs = 0;
    Then then = Then::Stay;
};
