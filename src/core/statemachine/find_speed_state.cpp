#include "core/statemachine/find_speed_state.h"

#include "core/model/model_base.h"
#include "core/statemachine/state_host2.h"
#include "core/text/string_table.h"
#include "platform/wide_format.h"

namespace SpeedSearch {
namespace {

void Announce(CStateHost2& host, UINT stringId)
{
    CSerialPort& port = host.Model().SerialPort();
    host.StatusText(FormatW(LoadStringText(stringId).c_str(), kModelName, port.PortName().c_str(),
                            static_cast<unsigned>(port.BaudRate())));
}

}  // namespace

void SetRate(CStateHost2& host, DWORD rate)
{
    host.Model().m_speed.Set(rate);
}

DWORD CurrentRate(CStateHost2& host)
{
    return host.Model().SerialPort().BaudRate();
}

void AnnounceAttempt(CStateHost2& host)
{
    Announce(host, IDS_ATTEMPTING_CONTACT);
}

void AnnounceContact(CStateHost2& host)
{
    Announce(host, IDS_CONNECTED_TO);
}

}  // namespace SpeedSearch
