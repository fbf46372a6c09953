// One simulated radio on its line: what the programs and tests create. The radio lives as
// long as this object, across any number of opens of the port, as a real radio outlives
// the program's sessions.
#pragma once

#include <memory>

#include "sim/sim_clock.h"
#include "sim/sim_link.h"
#include "sim/sim_options.h"
#include "sim/sim_radio.h"

class CSimulator {
public:
    CSimulator(const CSimOptions& options, ISimClock& clock);
    ~CSimulator();
    CSimulator(const CSimulator&) = delete;
    CSimulator& operator=(const CSimulator&) = delete;

    CSimRadio& Radio() { return *m_radio; }
    CSimLink& Link() { return *m_link; }
    const CSimOptions& Options() const { return m_options; }
    ISimClock& Clock() { return m_clock; }

    // Writes the flash dump, when one was asked for.
    void Finish();

private:
    CSimOptions m_options;
    ISimClock& m_clock;
    std::unique_ptr<CSimRadio> m_radio;
    std::unique_ptr<CSimLink> m_link;
};
