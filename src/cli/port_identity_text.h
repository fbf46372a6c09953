// A port's identity as zr8 shows it: one indented line of text, and fields of a JSON event.
#pragma once

#include <string>
#include <vector>

#include "cli/json_events.h"
#include "cli/port_identity.h"

// "  USB 0403:6001: FTDI FT232R ("FT232R USB UART"), driver ftdi_sio, serial number A10K,
// latency timer 16 ms, stable name /dev/serial/by-id/..." with what is known; empty when
// nothing is. The by-id name is left out when it is the port's own name.
std::wstring IdentityLine(const CPortIdentity& identity, const std::wstring& portName);
// "WCH CH340 (1a86:7523)": the adapter by name, for the doctor's findings.
std::wstring AdapterTitle(const CPortIdentity& identity);
// The known fields: vendorId, productId, maker, chip, manufacturer, product, serialNumber,
// driver, byId, latencyMs, friendlyName, hardwareId.
void AddIdentityFields(const CPortIdentity& identity, std::vector<CJsonField>& fields);
