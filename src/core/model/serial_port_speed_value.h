// CSerialPortSpeedValue<TModel>: the bit rate of the serial port as an observable
// value. Nothing is stored here: reading it gives the port's current rate. Set changes
// the rate through the model when the port is open and the rate differs, and then
// always announces, so that a refused rate makes the observers show the unchanged one.
#pragma once

#include "core/model/event_source.h"

template <class TModel>
class CSerialPortSpeedValue : public CEventSource {
public:
    CSerialPortSpeedValue(UINT message, TModel* model) : CEventSource(message), m_model(model) {}

    DWORD Get() const { return m_model->SerialPort().BaudRate(); }
    operator DWORD() const { return Get(); }

    void Set(DWORD rate)
    {
        if (m_model->SerialPort().IsOpen() && rate != Get())
            m_model->SetBaudRate(rate);  // its result shows in the rate read back
        Notify(0, 0);
    }

private:
    TModel* m_model;
};
