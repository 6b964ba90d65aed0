#include "compare/YieldTicker.h"

YieldTicker::YieldTicker(Callback callback, std::chrono::milliseconds interval)
    : callback_(std::move(callback)), intervalMs_(interval.count())
{
    clock_.start();
}

bool YieldTicker::poll()
{
    if (!callback_ || clock_.elapsed() < intervalMs_)
        return true;
    const bool goOn = callback_();
    clock_.restart();
    return goOn;
}
