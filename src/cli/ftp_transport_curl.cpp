#include "cli/ftp_transport_curl.h"

#include <curl/curl.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/code_pages.h"

namespace {

constexpr DWORD kTimedOut = 12002;
constexpr DWORD kExtendedError = 12003;
constexpr DWORD kInternalError = 12004;
constexpr DWORD kNameNotResolved = 12007;
constexpr DWORD kCannotConnect = 12029;
constexpr DWORD kConnectionAborted = 12030;

DWORD ToInternetError(CURLcode code)
{
    switch (code) {
    case CURLE_OK:
        return 0;
    case CURLE_COULDNT_RESOLVE_HOST:
        return kNameNotResolved;
    case CURLE_COULDNT_CONNECT:
        return kCannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
        return kTimedOut;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_FTP_WEIRD_SERVER_REPLY:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
    case CURLE_FTP_CANT_GET_HOST:
        return kConnectionAborted;
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_FTP_COULDNT_RETR_FILE:
    case CURLE_FTP_COULDNT_SET_TYPE:
    case CURLE_LOGIN_DENIED:
    case CURLE_QUOTE_ERROR:
    case CURLE_FTP_PORT_FAILED:
    case CURLE_FTP_ACCEPT_FAILED:
        return kExtendedError;
    case CURLE_ABORTED_BY_CALLBACK:
        return ERROR_CANCELLED;
    case CURLE_WRITE_ERROR:
        return ERROR_WRITE_FAULT;
    default:
        return kInternalError;
    }
}

// A "ls -l" line ("-rw-r--r-- 1 owner group 100 Jan 01 00:00 name") or an MS-DOS style
// one ("01-01-24  10:00AM  <DIR>  name"); false for anything else ("total 8").
bool ParseListLine(const std::string& line, CServerEntry& entry)
{
    if (line.empty())
        return false;
    std::istringstream fields(line);
    std::string field;
    int skip = 0;
    bool folder = false;
    if (line[0] == '-' || line[0] == 'd' || line[0] == 'l') {
        folder = line[0] == 'd';
        skip = 8;
    } else if (line[0] >= '0' && line[0] <= '9') {
        skip = 3;
        folder = line.find("<DIR>") != std::string::npos;
    } else {
        return false;
    }
    size_t position = 0;
    const int sizeField = line[0] == '-' ? 4 : line[0] >= '0' && line[0] <= '9' ? 2 : -1;
    uint64_t size = 0;
    for (int i = 0; i < skip; ++i) {
        position = line.find_first_not_of(' ', position);
        if (position == std::string::npos)
            return false;
        const size_t end = line.find(' ', position);
        if (end == std::string::npos)
            return false;
        if (i == sizeField)
            size = std::strtoull(line.substr(position, end - position).c_str(), nullptr, 10);
        position = end;
    }
    position = line.find_first_not_of(' ', position);
    if (position == std::string::npos)
        return false;
    std::string name = line.substr(position);
    if (line[0] == 'l') {
        const size_t arrow = name.find(" -> ");
        if (arrow != std::string::npos)
            name.resize(arrow);
    }
    if (name == "." || name == "..")
        return false;
    entry.name = CodePages::FromAnsi(name);
    entry.isFolder = folder;
    entry.size = folder ? 0 : size;
    return true;
}

class CCurlFtpTransport : public IFtpTransport {
public:
    CCurlFtpTransport() : m_curl(curl_easy_init()) {}
    ~CCurlFtpTransport() override
    {
        if (m_curl != nullptr)
            curl_easy_cleanup(m_curl);
    }

    DWORD Connect(const std::wstring& host, uint16_t port) override
    {
        if (m_curl == nullptr)
            return kInternalError;
        m_base = "ftp://" + CodePages::ToUtf8(host);
        if (port != 0)
            m_base += ":" + std::to_string(port);
        m_base += "/";
        m_directory.clear();
        return Perform(m_base, nullptr, nullptr);
    }

    DWORD ChangeDirectory(const std::wstring& path) override
    {
        const std::string directory = CodePages::ToUtf8(path) + "/";
        const DWORD error = Perform(m_base + directory, nullptr, nullptr);
        if (error == 0)
            m_directory = directory;
        return error;
    }

    DWORD List(std::vector<CServerEntry>& entries) override
    {
        std::string text;
        const DWORD error = Perform(m_base + m_directory, &text, nullptr);
        if (error != 0)
            return error;
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            CServerEntry entry;
            if (ParseListLine(line, entry))
                entries.push_back(entry);
        }
        return 0;
    }

    DWORD Fetch(const std::wstring& name, const std::wstring& localPath, uint64_t listedSize,
                const FetchProgress& progress) override
    {
        FILE* file = std::fopen(CodePages::ToNativePath(localPath).c_str(), "wb");
        if (file == nullptr)
            return ERROR_WRITE_FAULT;
        char* escaped = curl_easy_escape(m_curl, CodePages::ToUtf8(name).c_str(), 0);
        const std::string url = m_base + m_directory + (escaped ? escaped : "");
        curl_free(escaped);
        m_progress = &progress;
        DWORD error = Perform(url, nullptr, file);
        m_progress = nullptr;
        if (std::fclose(file) != 0 && error == 0)
            error = ERROR_WRITE_FAULT;
        curl_off_t received = 0;
        if (error == 0 && listedSize != 0 &&
            curl_easy_getinfo(m_curl, CURLINFO_SIZE_DOWNLOAD_T, &received) == CURLE_OK &&
            uint64_t(received) != listedSize)
            error = kConnectionAborted;
        return error;
    }

    DWORD LastResponseCode() const override { return m_responseCode; }
    std::wstring LastResponseText() const override { return CodePages::FromAnsi(m_responseText); }

private:
    static size_t ToText(char* data, size_t size, size_t count, void* target)
    {
        static_cast<std::string*>(target)->append(data, size * count);
        return size * count;
    }
    static size_t ToFile(char* data, size_t size, size_t count, void* target)
    {
        return std::fwrite(data, size, count, static_cast<FILE*>(target)) * size;
    }
    static size_t Nothing(char*, size_t size, size_t count, void*) { return size * count; }
    // Every reply line of the server passes here; the last complete one is kept.
    static size_t OnReply(char* data, size_t size, size_t count, void* self)
    {
        std::string line(data, size * count);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        auto* me = static_cast<CCurlFtpTransport*>(self);
        if (line.size() >= 3 && line[0] >= '1' && line[0] <= '5') {
            me->m_responseCode = DWORD(std::strtoul(line.substr(0, 3).c_str(), nullptr, 10));
            me->m_responseText = line;
        }
        return size * count;
    }
    static int OnProgress(void* self, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t)
    {
        auto* me = static_cast<CCurlFtpTransport*>(self);
        if (me->m_progress != nullptr && *me->m_progress)
            return (*me->m_progress)(uint64_t(now), uint64_t(total)) ? 0 : 1;
        return 0;
    }

    DWORD Perform(const std::string& url, std::string* text, FILE* file)
    {
        curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(m_curl, CURLOPT_NOBODY, (text == nullptr && file == nullptr) ? 1L : 0L);
        curl_easy_setopt(m_curl, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_MULTICWD));
        curl_easy_setopt(m_curl, CURLOPT_TRANSFERTEXT, 0L);
        curl_easy_setopt(m_curl, CURLOPT_FTPPORT, nullptr);  // passive
        curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT, 30L);
        // A server that stops sending for a minute counts as gone: no hang.
        curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_TIME, 60L);
        curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(m_curl, CURLOPT_HEADERFUNCTION, &CCurlFtpTransport::OnReply);
        curl_easy_setopt(m_curl, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(m_curl, CURLOPT_XFERINFOFUNCTION, &CCurlFtpTransport::OnProgress);
        curl_easy_setopt(m_curl, CURLOPT_XFERINFODATA, this);
        if (text != nullptr) {
            curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &CCurlFtpTransport::ToText);
            curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, text);
        } else if (file != nullptr) {
            curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &CCurlFtpTransport::ToFile);
            curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, file);
        } else {
            curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &CCurlFtpTransport::Nothing);
            curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, nullptr);
        }
        return ToInternetError(curl_easy_perform(m_curl));
    }

    CURL* m_curl;
    std::string m_base;       // "ftp://host:port/"
    std::string m_directory;  // "ZR8/firmware/" once there
    const FetchProgress* m_progress = nullptr;
    DWORD m_responseCode = 0;
    std::string m_responseText;
};

}  // namespace

std::unique_ptr<IFtpTransport> CreateCurlFtpTransport()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
    return std::make_unique<CCurlFtpTransport>();
}
