// What the program may send to a radio, whatever the radio answered: checked on every
// write of a hostile-radio run. A violation is described in words; empty means none.
#pragma once

#include <cstdint>
#include <string>

#include "hostile_script.h"

class CHexImage;
class CRestoreRecords;

class CWriteChecks {
public:
    CWriteChecks(HostileMachine machine, const CHexImage* image, const CRestoreRecords* records,
                 const std::string& bannerBytes)
        : m_machine(machine), m_image(image), m_records(records), m_bannerBytes(bannerBytes) {}

    // One write of the program, as it reached the port.
    std::string Check(const std::string& written) const;

private:
    std::string CheckPacket(const std::string& packet) const;
    std::string CheckBlockWrite(const std::string& command) const;

    HostileMachine m_machine;
    const CHexImage* m_image;
    const CRestoreRecords* m_records;
    std::string m_bannerBytes;
};
