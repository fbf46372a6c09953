// zr8sim's transport: the simulated radio behind a pseudo-terminal. The program opens the
// slave side as it would a USB serial adapter; the bit rate it sets there is read back from
// the terminal settings. Vanishing closes the master, so the program sees the hang-up.
#pragma once

#include <string>
#include <vector>

#include "sim/poll_clock.h"
#include "sim/sim_link.h"
#include "sim/sim_options.h"
#include "sim/simulator.h"

class CPtyServer : private ISimHostSide {
public:
    explicit CPtyServer(const CSimCommandLine& commandLine);
    ~CPtyServer() override;
    CPtyServer(const CPtyServer&) = delete;
    CPtyServer& operator=(const CPtyServer&) = delete;

    bool Open(std::string& error);
    const std::string& SlavePath() const { return m_slavePath; }
    CSimulator& Simulator() { return m_simulator; }

    // Serves until a stop request arrives on controlFd (a byte 'q'; 'p' power-cycles the
    // radio), stdin ends (when asked for), or the line vanishes. Returns the exit code.
    int Run(int controlFd);

private:
    void DeliverToHost(const uint8_t* bytes, size_t count) override;
    void HangUp() override;
    void ReadFromMaster();
    void FlushOutput();
    void CloseAll();

    CSimCommandLine m_commandLine;
    CPollClock m_clock;
    CSimulator m_simulator;
    int m_master = -1;
    int m_slaveHold = -1;  // keeps the slave side alive between the program's opens
    std::string m_slavePath;
    std::vector<uint8_t> m_output;  // waiting for room in the terminal's queue
    bool m_vanished = false;
    bool m_linkMade = false;
};
