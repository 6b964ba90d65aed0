#pragma once

#include <QtGlobal>

// Measures how far the resident memory of the process rises above its level at construction.
// Free heap memory is handed back to the system first and the kernel's high-water mark is reset,
// so that memory freed earlier and reused now is counted too. Linux only.
class PeakMemory
{
public:
    PeakMemory();

    bool valid() const { return m_startKb >= 0; }
    qint64 increaseBytes() const;

private:
    qint64 m_startKb = -1;
};
