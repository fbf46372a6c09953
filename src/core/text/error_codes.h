// The program's own error and warning codes (facility 0x200). Their texts stand in
// the message table (resources/messages.txt); GetErrorText turns any code into text.
#pragma once

#include "platform/win_types.h"

namespace Zr8Error {
constexpr DWORD ChecksumWordZero = 0xA2000047;        // warning
constexpr DWORD NoResponsePacketWarning = 0xA200004A; // warning
constexpr DWORD UnexpectedHexCharacter = 0xE200000B;
constexpr DWORD InvalidEepromAddress = 0xE200000C;
constexpr DWORD NoResponseFirmwareVersion = 0xE200000D;
constexpr DWORD PortNameMissing = 0xE200000F;
constexpr DWORD HexNoColon = 0xE2000020;
constexpr DWORD HexRecordType = 0xE2000021;
constexpr DWORD HexLineChecksum = 0xE2000022;
constexpr DWORD HexNoEndRecord = 0xE2000023;
constexpr DWORD ConfigIncomplete = 0xE2000030;
constexpr DWORD ConfigCorrupt = 0xE2000031;
constexpr DWORD ConfigSerialMismatch = 0xE2000032;
constexpr DWORD HexRecordLength = 0xE2000040;
constexpr DWORD HexImageChecksum = 0xE2000041;
constexpr DWORD LoaderNoEchoD = 0xE2000043;
constexpr DWORD RetryLimitExhausted = 0xE2000044;
constexpr DWORD NoResponseAfterReset = 0xE2000045;
constexpr DWORD VersionVerifyFailed = 0xE2000046;
constexpr DWORD NoResponseSyncPoll = 0xE2000048;
constexpr DWORD NoResponseSemicolonPoll = 0xE2000049;
constexpr DWORD NoResponsePacket = 0xE200004B;
constexpr DWORD UnexpectedDevice = 0xE200004E;
constexpr DWORD NoResponseReadEeprom = 0xE2000050;
constexpr DWORD NoResponseWriteEeprom = 0xE2000051;
constexpr DWORD MachineBusy = 0xE2000052;
constexpr DWORD NotTelnetServer = 0xE2000053;
constexpr DWORD MessageTooLong = 0xE2000080;
constexpr DWORD NoResponseBandNumber = 0xE2000106;
constexpr DWORD NoResponseVfoAndIcons = 0xE200010C;
constexpr DWORD NoResponseIconsAndStatus = 0xE200011D;
constexpr DWORD NoResponseCommandMode = 0xE2000124;
constexpr DWORD NoResponseMenuParameter = 0xE2000131;
constexpr DWORD NoResponseOptionModules = 0xE2000134;
constexpr DWORD NoResponsePower = 0xE2000149;
constexpr DWORD NoResponseRitOffset = 0xE2000154;
constexpr DWORD NoResponseRit = 0xE2000157;
constexpr DWORD NoResponseDspVersion = 0xE200015D;
constexpr DWORD NoResponseTransmitQuery = 0xE200017D;
constexpr DWORD NoResponseXit = 0xE2000186;
constexpr DWORD NoResponseSerialNumber = 0xE200050A;
}  // namespace Zr8Error

// A result counts as a failure unless it is 0 (positive: Win32 error; negative: HRESULT
// or own code).
inline bool IsFailure(DWORD result) { return result != 0; }
inline bool IsNegative(DWORD result) { return (result & 0x80000000u) != 0; }
// Codes of the program's own facility (0x200), whose texts are in its message table.
inline bool IsOwnCode(DWORD code) { return (code & 0x0FFF0000u) == 0x02000000u; }
// Codes whose texts are in the message table of wininet.dll.
inline bool IsInternetCode(DWORD code) { return code >= 12000 && code <= 12175; }
