// A folder of its own for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/code_pages.h"

class CTempFolder {
public:
    CTempFolder()
    {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            auto candidate = base / ("zr8-platform-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                m_path = candidate;
                return;
            }
        }
    }
    ~CTempFolder()
    {
        std::error_code error;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, error);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string Utf8Path() const { return m_path.u8string(); }
    std::wstring WidePath() const { return m_path.wstring(); }

    // A path the program holds as a wide string (UTF-8 on disk off Windows, whatever
    // the C library's locale).
    static std::filesystem::path FromWide(const std::wstring& path)
    {
#ifdef _WIN32
        return std::filesystem::path(path);
#else
        return std::filesystem::u8path(CodePages::ToUtf8(path));
#endif
    }

    static std::string ReadText(const std::filesystem::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void WriteText(const std::filesystem::path& file, const std::string& text)
    {
        std::ofstream out(file, std::ios::binary);
        out << text;
    }

private:
    std::filesystem::path m_path;
};
