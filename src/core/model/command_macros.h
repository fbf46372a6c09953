// The sixteen command macros of the Command Tester: a label for each button and the
// command text it sends, persisted under the application key as "CommandCaption1" ..
// "CommandCaption16" and "CommandText1" .. "CommandText16" (element i is macro i + 1).
// The Command Tester page owns them in the program; zr8 terminal reads the texts.
#pragma once

#include <string>

#include "core/model/persistable.h"
#include "core/text/string_ids.h"
#include "core/text/text_ref.h"

constexpr UINT WM_APP_COMMAND_CAPTIONS = 0x8068;  // wParam: element index
constexpr UINT WM_APP_COMMAND_TEXTS = 0x8069;     // wParam: element index

struct CCommandMacros {
    static constexpr size_t kCount = 16;
    using Values = CPersistable<std::wstring, kCount>;

    Values labels{WM_APP_COMMAND_CAPTIONS, std::wstring(), L"CommandCaption%u"};
    Values texts{WM_APP_COMMAND_TEXTS, std::wstring(), L"CommandText%u"};

    // "MACRO5" for element 4.
    static std::wstring DefaultLabel(size_t index)
    {
        return FormatText(IDS_MACRO_DEFAULT_LABEL, static_cast<unsigned>(index + 1));
    }

    // Every empty label becomes its default, through the element setter (so the buttons
    // hear of it).
    void FillEmptyLabels()
    {
        for (size_t i = 0; i < kCount; ++i)
            if (labels.GetAt(i).empty())
                labels.SetAt(i, DefaultLabel(i));
    }
};
