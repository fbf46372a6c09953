// zr8sim as a child process: the simulated radio on a pseudo-terminal, as a user's
// USB adapter would be. Start returns once the simulator has said where its terminal is.
#pragma once

#include <string>
#include <vector>

class CSimProcess {
public:
    CSimProcess() = default;
    ~CSimProcess();
    CSimProcess(const CSimProcess&) = delete;
    CSimProcess& operator=(const CSimProcess&) = delete;

    // Starts zr8sim with the arguments; false (with the reason) when it does not come up.
    bool Start(const std::vector<std::string>& args, std::string& error);
    void Stop();  // SIGTERM, then waits for it
    bool Exited();  // it has ended on its own (after "vanish", say)

    const std::string& SlavePath() const { return m_slavePath; }
    int Pid() const { return m_pid; }  // -1 when not running

private:
    int m_pid = -1;
    int m_stdout = -1;
    std::string m_slavePath;
};
