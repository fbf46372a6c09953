// The serial line between the program and the simulated radio. It gives bytes their line
// time in both directions (10 bit times each at the radio's rate, or none with the instant
// model), holds what goes to the program as a USB adapter's latency timer does, loses what the program sends at a rate the radio does not listen at, and can
// vanish, as a USB adapter does when it is pulled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "sim/adapter_buffer.h"
#include "sim/sim_clock.h"
#include "sim/sim_options.h"
#include "sim/sim_radio.h"

class ISimHostSide {
public:
    virtual ~ISimHostSide() = default;
    virtual void DeliverToHost(const uint8_t* bytes, size_t count) = 0;
    virtual void HangUp() = 0;  // the line is gone for good
};

class CSimLink : public ISimRadioOutput {
public:
    CSimLink(CSimRadio& radio, ISimClock& clock, const CSimOptions& options);
    ~CSimLink() override;
    CSimLink(const CSimLink&) = delete;
    CSimLink& operator=(const CSimLink&) = delete;

    void AttachHost(ISimHostSide* host);  // bytes that arrive while no host is attached are lost
    void DetachHost(ISimHostSide* host) {
        if (m_host == host) m_host = nullptr;
    }
    void FromHost(const uint8_t* bytes, size_t count);
    void SetHostRate(uint32_t rate) { m_hostRate = rate; }
    uint32_t HostRate() const { return m_hostRate; }
    bool Vanished() const { return m_vanished; }
    uint64_t BytesToRadio() const { return m_toRadio; }
    uint64_t BytesLost() const { return m_lost; }  // sent at a rate the radio does not hear

    void Transmit(const std::string& bytes) override;  // from the radio
    uint64_t ArrivalUs() const override { return m_arrivalUs; }
    void TransmitAt(const std::string& bytes, uint64_t atUs) override;

private:
    struct Pending { uint64_t dueUs; uint8_t byte; bool heard; };
    struct Direction {
        std::deque<Pending> queue;
        uint64_t freeAtUs = 0;   // when the line is free for the next byte
        bool armed = false;
        ISimClock::TimerId timer = 0;
    };
    uint64_t NowUs() const { return m_clock.NowUs(); }
    uint64_t ByteUs() const;
    void Queue(Direction& d, uint8_t byte, bool heard);
    void Arm(Direction& d, bool toRadio);
    void Drain(Direction& d, bool toRadio);
    void Vanish();

    CSimRadio& m_radio;
    ISimClock& m_clock;
    BaudModel m_model;
    uint32_t m_radioRate;
    uint64_t m_vanishAfter;
    uint32_t m_hostRate = 9600;
    ISimHostSide* m_host = nullptr;
    Direction m_in;    // program to radio
    Direction m_out;   // radio to program
    uint64_t m_arrivalUs = 0;  // while the radio takes a byte: when it arrived
    CAdapterBuffer m_adapter;  // radio to program, after the line
    uint64_t m_toRadio = 0;
    uint64_t m_lost = 0;
    bool m_vanished = false;
};
