#include "sim/simulator.h"

CSimulator::CSimulator(const CSimOptions& options, ISimClock& clock)
    : m_options(options),
      m_clock(clock),
      m_radio(std::make_unique<CSimRadio>(m_options, clock)),
      m_link(std::make_unique<CSimLink>(*m_radio, clock, m_options)) {}

CSimulator::~CSimulator() {
    m_link.reset();
    m_radio.reset();
}

void CSimulator::Finish() {
    if (m_options.flashDumpFile.empty()) return;
    std::string error;
    m_radio->Flash().Dump(m_options.flashDumpFile, error);
}
