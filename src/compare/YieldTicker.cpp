#include "compare/YieldTicker.h"

YieldTicker::YieldTicker(Callback callback, std::chrono::milliseconds interval)
    : m_callback(std::move(callback)), m_intervalMs(interval.count())
{
    m_clock.start();
}

bool YieldTicker::poll()
{
    if (!m_callback || m_clock.elapsed() < m_intervalMs)
        return true;
    const bool goOn = m_callback();
    m_clock.restart();
    return goOn;
}
