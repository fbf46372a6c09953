// The last step before an image may be sent: the words of a good image sum to zero.
// A file normally carries the word at 0x0804 that makes this so; a file whose word is
// zero gets it computed here.
#pragma once

#include <functional>
#include <string>

#include "platform/win_types.h"

class CHexImage;

using LogSink = std::function<void(const std::wstring& line)>;

// 0, or 0xE2000041 when the file brings its own word and the sum is still not zero.
// name is the firmware's name in the log lines ("MCU").
DWORD ReconcileChecksum(CHexImage& image, const std::wstring& name, const LogSink& log);
