#include "sim/sim_link.h"

#include <vector>

CSimLink::CSimLink(CSimRadio& radio, ISimClock& clock, const CSimOptions& options)
    : m_radio(radio),
      m_clock(clock),
      m_model(options.baudModel),
      m_radioRate(options.ListenRate()),
      m_vanishAfter(options.faults.VanishAfterBytes()),
      m_adapter(clock, options.adapterLatencyMs, [this](const uint8_t* bytes, size_t count) {
          if (m_host) m_host->DeliverToHost(bytes, count);
      }) {
    m_radio.SetOutput(this);
}

CSimLink::~CSimLink() {
    m_radio.SetOutput(nullptr);
    if (m_in.armed) m_clock.Cancel(m_in.timer);
    if (m_out.armed) m_clock.Cancel(m_out.timer);
}

void CSimLink::AttachHost(ISimHostSide* host) {
    m_host = host;
    if (m_host && m_vanished) m_host->HangUp();
}

uint64_t CSimLink::ByteUs() const {
    if (m_model == BaudModel::Instant) return 0;
    return 10ull * 1000000ull / m_radioRate;  // a start bit, 8 data bits and a stop bit
}

void CSimLink::FromHost(const uint8_t* bytes, size_t count) {
    if (m_vanished) return;
    // A byte sent at another rate reaches the radio's UART as a framing error.
    const bool heard = m_hostRate == m_radioRate;
    for (size_t i = 0; i < count; ++i) Queue(m_in, bytes[i], heard);
    Arm(m_in, true);
}

void CSimLink::Transmit(const std::string& bytes) {
    if (m_vanished) return;
    for (char c : bytes) Queue(m_out, static_cast<uint8_t>(c), true);
    Arm(m_out, false);
}

void CSimLink::TransmitAt(const std::string& bytes, uint64_t atUs) {
    const uint64_t saved = m_arrivalUs;
    if (!m_arrivalUs && atUs && atUs < NowUs()) m_arrivalUs = atUs;  // the line time runs from then
    Transmit(bytes);
    m_arrivalUs = saved;
}

void CSimLink::Queue(Direction& d, uint8_t byte, bool heard) {
    // A reply made while the radio takes a byte starts from when that byte was in, not from
    // the coarser moment the clock's timer ran.
    const uint64_t now = m_arrivalUs ? m_arrivalUs : NowUs();
    const uint64_t start = d.freeAtUs > now ? d.freeAtUs : now;
    d.freeAtUs = start + ByteUs();
    d.queue.push_back({d.freeAtUs, byte, heard});
}

void CSimLink::Arm(Direction& d, bool toRadio) {
    if (d.armed || d.queue.empty()) return;
    const uint64_t now = NowUs();
    const uint64_t due = d.queue.front().dueUs;
    d.armed = true;
    d.timer = m_clock.AfterUs(due > now ? due - now : 0, [this, &d, toRadio]() {
        d.armed = false;
        Drain(d, toRadio);
    });
}

void CSimLink::Drain(Direction& d, bool toRadio) {
    const uint64_t now = NowUs();
    std::vector<uint8_t> ready;
    while (!m_vanished && !d.queue.empty() && d.queue.front().dueUs <= now) {
        const Pending p = d.queue.front();
        d.queue.pop_front();
        if (!toRadio) {
            ready.push_back(p.byte);
            continue;
        }
        if (!p.heard) {
            ++m_lost;
            continue;
        }
        ++m_toRadio;
        m_arrivalUs = p.dueUs;
        m_radio.Receive(p.byte);
        m_arrivalUs = 0;
        if (m_vanishAfter && m_toRadio >= m_vanishAfter) Vanish();
    }
    if (!ready.empty()) m_adapter.Push(ready.data(), ready.size());
    if (!m_vanished) Arm(d, toRadio);
}

void CSimLink::Vanish() {
    m_vanished = true;
    m_in.queue.clear();
    m_out.queue.clear();
    m_adapter.Clear();
    if (m_in.armed) m_clock.Cancel(m_in.timer);
    if (m_out.armed) m_clock.Cancel(m_out.timer);
    m_in.armed = m_out.armed = false;
    if (m_host) m_host->HangUp();
}
