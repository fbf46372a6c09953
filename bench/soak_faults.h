// The soak's fault per round: one of zr8sim's faults with a random value, drawn from a
// seeded generator so that a run can be repeated.
#pragma once

#include <cstdint>
#include <random>
#include <string>

struct CSoakFault {
    std::string kind;  // "none", or the fault's name ("drop-reply", ...)
    std::string spec;  // zr8sim's --fault value, "" for none
};

class CSoakFaults {
public:
    explicit CSoakFaults(uint32_t seed) : m_random(seed) {}
    CSoakFault Next();

private:
    unsigned Between(unsigned low, unsigned high) { return std::uniform_int_distribution<unsigned>(low, high)(m_random); }
    std::mt19937 m_random;
};
