// The parsers of the radio's answers, fed arbitrary answers (one character per received
// byte, as the state host collects them). Byte 0 picks the parser; for the EEPROM block
// answers bytes 1-3 give the block the command asked for (address, length). Whatever a
// parser accepts must be what the radio's format says, and the block reader must write
// no byte of its destination beyond the block.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/model/contact_states.h"
#include "core/statemachine/eeprom_block.h"

namespace {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "response parsers: %s\n", what);
    std::abort();
}

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z') c = wchar_t(c - L'a' + L'A');
    return text;
}

void CheckVersion(const std::wstring& answer) {
    unsigned short version = 0xBEEF;
    if (!Contact::ParseMcuVersionResponse(answer, version)) return;
    Require(version <= 9999, "a version above 99.99");
    wchar_t text[16];
    std::swprintf(text, 16, L"RV%02u.%02u;", unsigned(version / 100), unsigned(version % 100));
    Require(Upper(answer).compare(0, 8, text) == 0, "a version other than the answer's digits");
}

void CheckSerialNumber(const std::wstring& answer) {
    unsigned short serial = 0;
    if (!Contact::ParseSerialNumberResponse(answer, serial)) return;
    unsigned long value = 0;
    for (size_t i = 2; i < answer.size() && answer[i] >= L'0' && answer[i] <= L'9' && value <= 0xFFFF; ++i)
        value = value * 10 + unsigned(answer[i] - L'0');
    Require(value == serial, "a serial number other than the answer's digits");
}

void CheckBlockRead(const uint8_t* data, size_t size, const std::wstring& answer) {
    if (size < 4) return;
    const DWORD address = (DWORD(data[1]) << 8 | data[2]) % EepromBlock::kAddressLimit;
    const DWORD length = EepromBlock::NextBlockLength(address, (data[3] % EepromBlock::kMaxBlockLength) + 1);
    if (!EepromBlock::IsReadable(address, length)) return;
    const std::wstring command = EepromBlock::ReadCommand(address, length);
    Require(command.size() == 11, "a read command of another length");

    BYTE out[EepromBlock::kMaxBlockLength + 8];
    std::memset(out, 0xA5, sizeof out);
    if (!EepromBlock::ParseReadResponse(answer, command, length, out)) {
        for (BYTE b : out) Require(b == 0xA5, "a refused answer left bytes behind");
        return;
    }
    Require(Upper(answer).compare(0, 8, command.substr(0, 8)) == 0, "an answer for another block accepted");
    Require(answer.size() == 11 + 2 * length, "an answer of another length accepted");
    unsigned sum = 0;
    for (size_t i = 2; i + 1 < answer.size(); i += 2) {
        const unsigned value = unsigned(std::wcstoul(answer.substr(i, 2).c_str(), nullptr, 16));
        sum += value;
        if (i >= 8 && i < 8 + 2 * length) Require(out[(i - 8) / 2] == value, "data other than the answer's");
    }
    Require((sum & 0xFF) == 0, "an answer with a wrong checksum accepted");
    for (size_t i = length; i < sizeof out; ++i) Require(out[i] == 0xA5, "a byte written past the block");
}

void CheckBlockWrite(const uint8_t* data, size_t size, const std::wstring& answer) {
    if (size < 4) return;
    const DWORD address = (DWORD(data[1]) << 8 | data[2]) & 0x3FF;
    const DWORD length = EepromBlock::NextBlockLength(address, (data[3] % EepromBlock::kMaxBlockLength) + 1);
    BYTE bytes[EepromBlock::kMaxBlockLength] = {};
    const std::wstring command = EepromBlock::WriteCommand(address, length, bytes);
    if (!EepromBlock::ParseWriteAcknowledgement(answer, command)) return;
    Require(answer.size() == 11, "an acknowledgement of another length");
    Require(Upper(answer).compare(0, 8, command.substr(0, 8)) == 0, "an acknowledgement of another block");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t skip = (data[0] & 3) >= 2 ? std::min<size_t>(size, 4) : 1;
    std::wstring answer;
    for (size_t i = skip; i < size; ++i) answer += wchar_t(data[i]);
    switch (data[0] & 3) {
    case 0:
        CheckVersion(answer);
        CheckSerialNumber(answer);
        (void)Contact::IdentifyResponse(answer);
        break;
    case 1:
        CheckSerialNumber(answer);
        break;
    case 2:
        CheckBlockRead(data, size, answer);
        break;
    default:
        CheckBlockWrite(data, size, answer);
        break;
    }
    return 0;
}
