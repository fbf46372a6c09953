#include "ftp_server_process.h"

#include <arpa/inet.h>
#include <csignal>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

CFtpServerProcess::CFtpServerProcess() : m_root(m_folder.Path() / "root")
{
    std::filesystem::create_directories(m_root);
}

CFtpServerProcess::~CFtpServerProcess()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
}

bool CFtpServerProcess::Start(const CFtpServerOptions& options)
{
    const std::filesystem::path portFile = m_folder.Path() / "port";
    std::vector<std::string> args{"/usr/bin/python3", FTP_TEST_SERVER, "--root", m_root.string(), "--port-file",
                                  portFile.string(), "--log", (m_folder.Path() / "server.log").string()};
    if (!options.listing.empty()) {
        std::ofstream listing(m_folder.Path() / "listing", std::ios::binary);
        for (const std::string& name : options.listing)
            listing << name << "\n";
        args.insert(args.end(), {"--listing", (m_folder.Path() / "listing").string()});
    }
    if (options.rate > 0)
        args.insert(args.end(), {"--rate", std::to_string(options.rate)});
    if (options.dropAfter >= 0)
        args.insert(args.end(), {"--drop-after", std::to_string(options.dropAfter)});

    m_pid = fork();
    if (m_pid == 0) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    for (int waited = 0; waited < 10000; waited += 20) {
        std::ifstream in(portFile);
        if (in >> m_port)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::string CFtpServerProcess::Log() const
{
    std::ifstream file(m_folder.Path() / "server.log", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

int FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}
