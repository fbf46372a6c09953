// How the contact states read the radio's answers: the identification table, the
// firmware version and the serial number.
#include <gtest/gtest.h>

#include "core/model/contact_states.h"

namespace {

TEST(ContactParsersTest, IdentificationTableFirstMatchingRowWins)
{
    struct Case {
        const wchar_t* answer;
        OrvandelDevice device;
        FirmwareStatusEnum status;
    };
    const Case cases[] = {
        {L"ZR8;", DeviceZR8, FirmwareStatusApplication},
        {L"zr8;", DeviceZR8, FirmwareStatusBootLoader},
        {L"I;", DeviceNone, FirmwareStatusBootLoader},  // a boot loader that only echoes
        {L"?;", DeviceNone, FirmwareStatusNone},
        {L"TV9;", DeviceTV9, FirmwareStatusBootLoader},
        {L"MVL7700;", DeviceMVL7700, FirmwareStatusApplication},
        {L"mvl7700;", DeviceMVL7700, FirmwareStatusBootLoader},
        {L"MVD300;", DeviceMVD300, FirmwareStatusBootLoader},
        {L"MVD1300;", DeviceMVD1300, FirmwareStatusApplication},
        {L"QR5;", DeviceQR5, FirmwareStatusApplication},
        {L"q5;", DeviceQ5, FirmwareStatusBootLoader},
        {L"T6B;", DeviceT6, FirmwareStatusBootLoader},
        {L"Zr8;", DeviceNone, FirmwareStatusNone},                // the texts are case-sensitive
        {L"ZR8 TV4;", DeviceTV4, FirmwareStatusBootLoader},       // TV4 stands earlier in the table
        {L"\x7F\x7FZR8;\r", DeviceZR8, FirmwareStatusApplication},  // anywhere in the answer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << testing::PrintToString(std::wstring(c.answer)));
        Contact::Identity identity = Contact::IdentifyResponse(c.answer);
        EXPECT_EQ(identity.device, c.device);
        EXPECT_EQ(identity.status, c.status);
    }
}

TEST(ContactParsersTest, VersionIsTwoDigitsPointTwoDigits)
{
    struct Case {
        const wchar_t* answer;
        bool accepted;
        unsigned short version;
    };
    const Case cases[] = {
        {L"RV01.23;", true, 123},  {L"rv12.34;", true, 1234},  {L"RV99.99;", true, 9999},
        {L"RV00.05;", true, 5},    {L"RV01.23;x", true, 123},  // nothing after the ";" is looked at
        {L"RV1.23;", false, 0},    {L"RV01.2;", false, 0},     {L"RV01.23", false, 0},
        {L"RV01,23;", false, 0},   {L"RV0A.23;", false, 0},    {L"SN01.23;", false, 0},
        {L"RV;", false, 0},        {L"", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << testing::PrintToString(std::wstring(c.answer)));
        unsigned short version = 0;
        EXPECT_EQ(Contact::ParseMcuVersionResponse(c.answer, version), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(version, c.version);
        }
    }
}

TEST(ContactParsersTest, SerialNumberIsADecimalNumberUpTo65535)
{
    struct Case {
        const wchar_t* answer;
        bool accepted;
        unsigned short serial;
    };
    const Case cases[] = {
        {L"SN12345;", true, 12345}, {L"sn7;", true, 7},       {L"SN;", true, 0},
        {L"SN65535;", true, 65535}, {L"SN00042;", true, 42},  {L"SN12A;", true, 12},
        {L"SN65536;", false, 0},    {L"SN70000;", false, 0},  {L"SN99999999999999999999;", false, 0},
        {L"RV01.23;", false, 0},    {L"S;", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << testing::PrintToString(std::wstring(c.answer)));
        unsigned short serial = 0xFFFF;
        EXPECT_EQ(Contact::ParseSerialNumberResponse(c.answer, serial), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(serial, c.serial);
        }
    }
}

}  // namespace
