#include "port_server_process.h"

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "ftp_server_process.h"

namespace {

int Spawn(std::vector<std::string> args, const std::string& logPath)
{
    const int pid = fork();
    if (pid == 0) {
        const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (log >= 0) {
            dup2(log, STDOUT_FILENO);
            dup2(log, STDERR_FILENO);
        }
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

bool Accepts(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

}  // namespace

CPortServerProcess::CPortServerProcess(PortServerKind kind, std::string device) : m_kind(kind), m_device(std::move(device)) {}

CPortServerProcess::~CPortServerProcess()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
}

std::string CPortServerProcess::Url() const
{
    return std::string(m_kind == PortServerKind::Ser2NetRaw ? "socket" : "rfc2217") + "://127.0.0.1:" +
           std::to_string(m_port);
}

bool CPortServerProcess::Start()
{
    return m_kind == PortServerKind::Pyserial ? StartPyserial() : StartSer2Net();
}

void CPortServerProcess::Kill()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGKILL);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
}

std::string CPortServerProcess::Log() const
{
    std::ifstream file(m_folder.Path() / "server.log", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool CPortServerProcess::StartSer2Net()
{
    if (m_port == 0)
        m_port = FreePort();
    const std::string config = (m_folder.Path() / "ser2net.yaml").string();
    {
        std::ofstream out(config);
        out << "connection: &radio\n"
            << "    accepter: " << (m_kind == PortServerKind::Ser2NetTelnet ? "telnet(rfc2217),tcp" : "tcp")
            << ",127.0.0.1," << m_port << "\n"
            << "    connector: serialdev," << m_device << ",9600n81,local\n";
    }
    m_pid = Spawn({"/usr/sbin/ser2net", "-n", "-d", "-c", config, "-P", (m_folder.Path() / "pid").string()},
                  (m_folder.Path() / "server.log").string());
    for (int waited = 0; waited < 10000; waited += 20) {
        if (Accepts(m_port))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool CPortServerProcess::StartPyserial()
{
    const std::string log = (m_folder.Path() / "server.log").string();
    m_pid = Spawn({"/usr/bin/python3", RFC2217_TEST_SERVER, m_device}, log);
    for (int waited = 0; waited < 10000; waited += 20) {
        std::ifstream in(log);
        std::string word;
        if (in >> word && word == "PORT" && in >> m_port)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}
