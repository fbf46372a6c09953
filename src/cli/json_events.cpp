#include "cli/json_events.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "platform/code_pages.h"

using Json = nlohmann::ordered_json;

struct CJsonFields {
    Json object = Json::object();
};

namespace {
Json Event(const char* kind, double seconds) {
    Json event = Json::object();
    event["event"] = kind;
    event["t"] = std::round(seconds * 1000.0) / 1000.0;
    return event;
}

void Emit(const Json& event) {
    // Invalid UTF-8 (a radio's stray bytes) is replaced, never a broken line.
    const std::string line = event.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

std::string Utf8(const std::wstring& text) { return CodePages::ToUtf8(text); }

// One time origin for the run, also for the sessions doctor opens port by port.
std::chrono::steady_clock::time_point RunStart() {
    static const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    return start;
}
}  // namespace

CJsonEvents::CJsonEvents() : m_start(RunStart()), m_fields(std::make_unique<CJsonFields>()) {}
CJsonEvents::~CJsonEvents() = default;

double CJsonEvents::Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}

void CJsonEvents::Text(const char* kind, const std::wstring& text, const std::wstring& caption) {
    // One line per event: a text of several lines is several events.
    size_t start = 0;
    do {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        Json event = Event(kind, Seconds());
        if (!caption.empty()) event["caption"] = Utf8(caption);
        event["text"] = Utf8(text.substr(start, end - start));
        Emit(event);
        start = end + 1;
    } while (start < text.size());
}

void CJsonEvents::Progress(unsigned long done, unsigned long total, double rate, double secondsLeft) {
    Json event = Event("progress", Seconds());
    event["done"] = done;
    event["total"] = total;
    event["rate"] = std::round(rate * 10.0) / 10.0;
    if (secondsLeft >= 0) event["remaining"] = std::round(secondsLeft * 10.0) / 10.0;
    else event["remaining"] = nullptr;
    Emit(event);
}

void CJsonEvents::Retry(unsigned long retries) {
    Json event = Event("retry", Seconds());
    event["retries"] = retries;
    Emit(event);
}

void CJsonEvents::Question(const std::wstring& text, bool answer, const char* answeredBy) {
    Json event = Event("question", Seconds());
    event["text"] = Utf8(text);
    event["answer"] = answer;
    event["by"] = answeredBy;
    Emit(event);
}

void CJsonEvents::Record(const char* kind, const std::vector<CJsonField>& fields) {
    Json event = Event(kind, Seconds());
    for (const CJsonField& field : fields) {
        if (field.isNumber) event[field.name] = field.number;
        else event[field.name] = Utf8(field.text);
    }
    Emit(event);
}

void CJsonEvents::Error(unsigned long code, const std::wstring& text, const std::wstring& hint) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", code);
    Json event = Event("error", Seconds());
    event["code"] = hex;
    event["text"] = Utf8(text);
    event["hint"] = Utf8(hint);
    Emit(event);
}

void CJsonEvents::Usage(const std::string& text, const std::string& usage) {
    Json event = Event("usage", Seconds());
    event["text"] = text;
    event["usage"] = usage;
    Emit(event);
}

void CJsonEvents::Field(const std::string& name, const std::wstring& value) { m_fields->object[name] = Utf8(value); }
void CJsonEvents::Field(const std::string& name, long long value) { m_fields->object[name] = value; }
void CJsonEvents::Field(const std::string& name, bool value) { m_fields->object[name] = value; }

void CJsonEvents::Result(int exitCode) {
    Json event = Event("result", Seconds());
    event["exit"] = exitCode;
    for (auto& item : m_fields->object.items()) event[item.key()] = item.value();
    Emit(event);
}
