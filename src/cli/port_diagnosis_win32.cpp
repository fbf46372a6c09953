// Windows keeps no list of who holds a port that a program can read without rights of
// its own, and serial ports have no groups: the advice says what it can without them.
#include "cli/port_diagnosis.h"

std::vector<CPortHolder> FindPortHolders(const std::wstring&) { return {}; }
std::wstring DeviceGroupName(const std::wstring&) { return std::wstring(); }
std::wstring CurrentUserName() { return std::wstring(); }
bool MayUseDevice(const std::wstring&) { return true; }
std::wstring NotSerialPortKind(const std::wstring&) { return std::wstring(); }
