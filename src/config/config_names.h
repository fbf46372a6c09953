// What the save and restore dialogs offer: the time of a save, the proposed file name,
// the default folder and the file-type filter of the file dialogs.
#pragma once

#include <string>

#include "platform/win_types.h"

// The local time at which a save began (as the system's SYSTEMTIME fields).
struct CSaveTime {
    WORD year = 0;
    WORD month = 0;
    WORD dayOfWeek = 0;
    WORD day = 0;
    WORD hour = 0;
    WORD minute = 0;
    WORD second = 0;

    static CSaveTime Now();
};

namespace ConfigNames {

// "SN01234.20231109T043025.ZR8Config", or without "SN%05u." when no serial number has
// been read (0xFFFF).
std::wstring DefaultFileName(unsigned short serialNumber, const CSaveTime& time);
// <application data, or documents>/Orvandel/ZR8 Configuration, both folders created;
// empty when the system names neither folder.
std::wstring DefaultFolder();
// String 13514 with the model name and the extension, every "|" a NUL: the filter list
// of the file dialogs (it ends in two NULs).
std::wstring FileFilter();
// The folder part of a path: the file name and the separator before it removed.
std::wstring FolderOf(const std::wstring& path);

}  // namespace ConfigNames
