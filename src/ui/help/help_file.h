// Where the help file is and how a topic of it is named to the HTML Help control.
#pragma once

#include <string>

// The program's file with the extension ".chm" (ZR8Utility.exe -> ZR8Utility.chm), unless
// a test has named another file.
std::wstring HelpFilePath();
// Tests point help at a file of their own; an empty path goes back to the program's.
void SetHelpFileForTesting(const std::wstring& path);

// "<file>::/<topic>>$global_main", or "<file>>$global_main" without a topic: the file,
// the topic inside it, and the help window type every topic opens in.
std::wstring BuildHelpReference(const std::wstring& file, const wchar_t* topic);
