// zr8 --json: one JSON object per line on standard output for every event of the run,
// each with "event" (its kind) and "t" (seconds since the start). nlohmann::json does
// the escaping; this header keeps it out of the rest of the tool.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

struct CJsonFields;

// One field of a record event: text, or a number when isNumber is set.
struct CJsonField {
    std::string name;
    std::wstring text;
    long long number = 0;
    bool isNumber = false;
};

class CJsonEvents {
public:
    CJsonEvents();
    ~CJsonEvents();
    CJsonEvents(const CJsonEvents&) = delete;
    CJsonEvents& operator=(const CJsonEvents&) = delete;

    // {"event": kind, "t": ..., "text": line} for each line of the text ("\n" between
    // lines); a message box's lines carry its "caption" too.
    void Text(const char* kind, const std::wstring& text, const std::wstring& caption = std::wstring());
    void Progress(unsigned long done, unsigned long total, double rate, double secondsLeft);
    void Retry(unsigned long retries);  // the load's retries so far
    void Question(const std::wstring& text, bool answer, const char* answeredBy);
    void Error(unsigned long code, const std::wstring& text, const std::wstring& hint);
    // {"event": kind, "t": ..., fields in their order}
    void Record(const char* kind, const std::vector<CJsonField>& fields);
    // A wrong command line: {"event": "usage", "text": what is wrong, "usage": the line}
    void Usage(const std::string& text, const std::string& usage);

    // Fields of the final "result" event, in the order they are set.
    void Field(const std::string& name, const std::wstring& value);
    void Field(const std::string& name, long long value);
    void Field(const std::string& name, bool value);
    // {"event": "result", "t": ..., "exit": code, fields...}
    void Result(int exitCode);

    double Seconds() const;

private:
    std::chrono::steady_clock::time_point m_start;
    std::unique_ptr<CJsonFields> m_fields;
};
