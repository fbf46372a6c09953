#include "ui/ftp/ftp_request_worker.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "ui/ftp/ftp_messages.h"

struct CFtpRequestWorker::CShared {
    HWND dialog = nullptr;
    std::shared_ptr<CFtpCallbackContext> context;  // the calls' context value points here
    CServerReply reply;  // guarded by the mutex
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<DWORD(CShared&, LPARAM&)>> jobs;
    bool stop = false;
    bool ended = false;
    std::condition_variable endedSignal;
    std::atomic<bool> cancel{false};
    WIN32_FIND_DATAA entry{};
    std::thread thread;
};

namespace {

constexpr DWORD kBlockSize = 8192;
constexpr DWORD kConnectionAborted = 12030;  // ERROR_INTERNET_CONNECTION_ABORTED
constexpr DWORD kInternalError = 12004;      // ERROR_INTERNET_INTERNAL_ERROR
constexpr DWORD kReplyChars = 2048;          // longer than any reply line the servers send

// On the worker's thread, right after a call failed: its error, and the server's reply.
DWORD Failed(CFtpRequestWorker::CShared& shared)
{
    const DWORD error = LastInternetError();
    CServerReply reply;
    // A buffer the reply fits in at once, ended by a null whatever length comes back.
    std::wstring text(kReplyChars + 1, L'\0');
    DWORD length = kReplyChars;
    if (::InternetGetLastResponseInfoW(&reply.code, &text[0], &length))
        reply.text = text.c_str();
    while (!reply.text.empty() && (reply.text.back() == L'\n' || reply.text.back() == L'\r'))
        reply.text.pop_back();
    std::lock_guard<std::mutex> lock(shared.mutex);
    shared.reply = std::move(reply);
    return error;
}

void RunJobs(const std::shared_ptr<CFtpRequestWorker::CShared>& shared)
{
    for (;;) {
        std::function<DWORD(CFtpRequestWorker::CShared&, LPARAM&)> job;
        {
            std::unique_lock<std::mutex> lock(shared->mutex);
            shared->wake.wait(lock, [&] { return shared->stop || !shared->jobs.empty(); });
            if (shared->stop)
                return;
            job = std::move(shared->jobs.front());
            shared->jobs.pop_front();
        }
        LPARAM result = 0;
        const DWORD error = job(*shared, result);
        std::lock_guard<std::mutex> lock(shared->mutex);
        if (!shared->stop)
            ::PostMessageW(shared->dialog, WM_APP_FTP_REQUEST_COMPLETE, error, result);
    }
}

void RunThread(std::shared_ptr<CFtpRequestWorker::CShared> shared)
{
    RunJobs(shared);
    std::lock_guard<std::mutex> lock(shared->mutex);
    shared->ended = true;
    shared->endedSignal.notify_all();
}

DWORD FetchInto(HINTERNET file, HANDLE out, CFtpRequestWorker::CShared& shared, ULONGLONG& received)
{
    std::vector<char> block(kBlockSize);
    for (;;) {
        if (shared.cancel)
            return ERROR_CANCELLED;
        DWORD got = 0;
        if (!::InternetReadFile(file, block.data(), kBlockSize, &got))
            return Failed(shared);
        if (got == 0)
            return 0;
        received += got;
        DWORD written = 0;
        if (!::WriteFile(out, block.data(), got, &written, nullptr) || written != got)
            return ::GetLastError() ? ::GetLastError() : ERROR_WRITE_FAULT;
    }
}

}  // namespace

DWORD LastInternetError()
{
    const DWORD error = ::GetLastError();
    return error != 0 ? error : kInternalError;
}

CFtpRequestWorker::CFtpRequestWorker(HWND dialog, std::shared_ptr<CFtpCallbackContext> context)
    : m_shared(std::make_shared<CShared>())
{
    m_shared->dialog = dialog;
    m_shared->context = std::move(context);
    m_shared->thread = std::thread(RunThread, m_shared);
}

CFtpRequestWorker::~CFtpRequestWorker() { Stop(3000); }

BOOL CFtpRequestWorker::Queue(std::function<DWORD(CShared&, LPARAM&)> job)
{
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (m_shared->stop) {
            ::SetLastError(ERROR_CANCELLED);
            return FALSE;
        }
        m_shared->jobs.push_back(std::move(job));
    }
    m_shared->wake.notify_one();
    ::SetLastError(ERROR_IO_PENDING);
    return FALSE;
}

BOOL CFtpRequestWorker::Connect(HINTERNET session, const std::wstring& host, INTERNET_PORT port, DWORD_PTR context)
{
    return Queue([=](CShared& shared, LPARAM& result) -> DWORD {
        HINTERNET connection = ::InternetConnectW(session, host.c_str(), port, nullptr, nullptr,
                                                  INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, context);
        result = reinterpret_cast<LPARAM>(connection);
        return connection ? 0 : Failed(shared);
    });
}

BOOL CFtpRequestWorker::SetCurrentDirectory(HINTERNET connection, const std::wstring& path)
{
    return Queue([=](CShared& shared, LPARAM& result) -> DWORD {
        const BOOL ok = ::FtpSetCurrentDirectoryW(connection, path.c_str());
        result = ok;
        return ok ? 0 : Failed(shared);
    });
}

BOOL CFtpRequestWorker::FindFirstFile(HINTERNET connection, DWORD_PTR context)
{
    return Queue([=](CShared& shared, LPARAM& result) -> DWORD {
        ZeroMemory(&shared.entry, sizeof shared.entry);
        // Every entry: a null pattern. Wine's listing fails on an empty pattern string.
        HINTERNET find = ::FtpFindFirstFileA(connection, nullptr, &shared.entry,
                                             INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE, context);
        result = reinterpret_cast<LPARAM>(find);
        return find ? 0 : Failed(shared);
    });
}

BOOL CFtpRequestWorker::FindNextFile(HINTERNET find)
{
    return Queue([=](CShared& shared, LPARAM& result) -> DWORD {
        ZeroMemory(&shared.entry, sizeof shared.entry);
        const BOOL ok = ::InternetFindNextFileA(find, &shared.entry);
        result = ok;
        return ok ? 0 : Failed(shared);
    });
}

BOOL CFtpRequestWorker::GetFile(HINTERNET connection, const std::wstring& name, const std::wstring& localPath,
                                DWORD_PTR context, ULONGLONG listedSize)
{
    return Queue([=](CShared& shared, LPARAM& result) -> DWORD {
        HINTERNET file = ::FtpOpenFileW(connection, name.c_str(), GENERIC_READ,
                                        FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD, context);
        if (file == nullptr)
            return Failed(shared);
        HANDLE out = ::CreateFileW(localPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ULONGLONG received = 0;
        DWORD error = out == INVALID_HANDLE_VALUE ? ::GetLastError() : FetchInto(file, out, shared, received);
        if (error == 0 && listedSize != 0 && received != listedSize)
            error = kConnectionAborted;
        if (out != INVALID_HANDLE_VALUE && !::CloseHandle(out) && error == 0)
            error = ::GetLastError() ? ::GetLastError() : ERROR_WRITE_FAULT;
        ::InternetCloseHandle(file);
        result = error == 0;
        return error;
    });
}

const WIN32_FIND_DATAA& CFtpRequestWorker::Entry() const { return m_shared->entry; }

CServerReply CFtpRequestWorker::LastReply() const
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->reply;
}

void CFtpRequestWorker::Cancel() { m_shared->cancel = true; }

void CFtpRequestWorker::Stop(DWORD waitMs)
{
    if (!m_shared->thread.joinable())
        return;
    m_shared->cancel = true;
    bool ended = false;
    {
        std::unique_lock<std::mutex> lock(m_shared->mutex);
        m_shared->stop = true;
        m_shared->jobs.clear();
        m_shared->wake.notify_one();
        ended = m_shared->endedSignal.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return m_shared->ended; });
    }
    // The thread holds the shared part too: a call the server keeps waiting may end after
    // the dialog has gone, and then finds "stop" and posts nothing.
    if (ended)
        m_shared->thread.join();
    else
        m_shared->thread.detach();
}
