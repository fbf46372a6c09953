// zr8 as a child process: its arguments, standard input from a pipe (never a terminal),
// standard output and error captured, and the settings and data folders of a temporary
// home, so the user's own settings are never read or touched.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "../platform/temp_folder.h"

struct CZr8Result {
    int exitCode = -1;  // 128 + signal when killed
    std::string out;
    std::string err;
};

class CZr8Home {
public:
    CZr8Home();
    const std::filesystem::path& Path() const { return m_folder.Path(); }
    std::string ConfigHome() const;
    std::string DataHome() const;
    // Writes the settings file the tool reads ("Name"="text" lines of a REGEDIT4 file).
    void WriteSettings(const std::string& valueLines) const;
    // Writes a file under the home; returns its path.
    std::string WriteFile(const std::string& name, const std::string& content) const;
    std::string Read(const std::string& name) const;
    // NAME=value lines added to zr8's environment.
    void SetEnvironment(std::vector<std::string> lines) { m_environment = std::move(lines); }
    const std::vector<std::string>& Environment() const { return m_environment; }

private:
    CTempFolder m_folder;
    std::vector<std::string> m_environment;
};

// Runs zr8 to its end (killed after the time-out). onStderr sees the error output as it
// grows and may signal the child (the child's pid is passed).
CZr8Result RunZr8(const CZr8Home& home, const std::vector<std::string>& args, int timeoutMs = 120000,
                  const std::function<void(const std::string& err, int pid)>& onStderr = nullptr);

// zr8sim --make-firmware PATH with the options; true when it wrote the file.
bool MakeFirmware(const std::string& path, const std::vector<std::string>& options);

bool Contains(const std::string& text, const std::string& part);
