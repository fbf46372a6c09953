#include "machine_bench.h"

#include "core/statemachine/state_machine.h"
#include "core/text/app_messages.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/settings_store.h"

CMachineBench::CMachineBench() : model(CreateMemorySettingsStore())
{
    MessageLoop::UseVirtualClock(true);
    window.Create([this](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        switch (message) {
        case WM_APP_PORT_EVENT:
            ++portEvents;
            model.RoutePortEvent(message, wParam, lParam);
            return 0;
        case WM_TIMER:
            if (!model.RouteTimer(message, wParam, lParam))
                foreignTimers.push_back(wParam);
            return 0;
        case WM_APP_STATUS_TEXT:
            statusTexts.emplace_back(reinterpret_cast<const wchar_t*>(lParam));
            return 0;
        case WM_APP_LOG_TEXT:
            logTexts.emplace_back(reinterpret_cast<const wchar_t*>(lParam));
            return 0;
        case WM_APP_MACHINE_DONE:
            doneResults.push_back(static_cast<DWORD>(wParam));
            return 0;
        default:
            return 0;
        }
    });
    model.SetWindow(window.Handle());
    model.m_completionEvent.AddObserver(window.Handle());
    model.m_port.Set(kScriptedPortName);
    MessageBoxes::SetHandler([this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
        boxes.push_back({text, caption, type});
        return IDOK;
    });
}

CMachineBench::~CMachineBench()
{
    MessageBoxes::SetHandler(nullptr);
    model.DetachOperation();
    model.ClosePort();
    window.Destroy();
    MessageLoop::PumpPending();
}

bool CMachineBench::OpenPort()
{
    return model.OpenSerialPort(kScriptedPortName) == 0;
}

bool CMachineBench::RunUntilIdle(IStateMachine& machine, DWORD limitMs)
{
    return MessageLoop::RunUntil([&] { return machine.IsIdle(); }, limitMs);
}

void CMachineBench::RunFor(DWORD ms)
{
    MessageLoop::AdvanceVirtualClock(ms);
}

bool CMachineBench::RunUntilWrites(size_t count, DWORD limitMs)
{
    return MessageLoop::RunUntil([&] { return link->writes.size() >= count; }, limitMs);
}

bool CMachineBench::HasStatus(const std::wstring& text) const
{
    for (const auto& line : statusTexts)
        if (line == text)
            return true;
    return false;
}

bool CMachineBench::HasLogContaining(const std::wstring& part) const
{
    for (const auto& line : logTexts)
        if (line.find(part) != std::wstring::npos)
            return true;
    return false;
}

std::vector<std::wstring> LinesStartingWith(const std::vector<std::wstring>& lines, const std::wstring& prefix)
{
    std::vector<std::wstring> found;
    for (const auto& line : lines)
        if (line.compare(0, prefix.size(), prefix) == 0)
            found.push_back(line);
    return found;
}
