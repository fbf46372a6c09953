// Strings as the registry keeps them: UTF-16 little-endian bytes. wchar_t is UTF-16 on
// Windows and UTF-32 elsewhere; these helpers are the one place that knows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Utf16Bytes {

// With terminator: the two null bytes the registry stores after a REG_SZ.
std::vector<uint8_t> Encode(const std::wstring& text, bool withTerminator);

// Decodes up to the first null character (an odd last byte is ignored). Lenient: a
// lone surrogate is kept as it stands. Returns false only when strict and the bytes are
// not exactly one clean string with its terminator (no lone surrogates, no inner nulls).
bool Decode(const uint8_t* data, size_t size, std::wstring& text, bool strict = false);

}  // namespace Utf16Bytes
