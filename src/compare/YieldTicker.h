#pragma once

#include <QElapsedTimer>
#include <chrono>
#include <functional>

// Lets a long computation hand control to the event loop now and then. The computation calls
// poll() between chunks of work; the callback runs only once the interval has passed since the
// last time, so a poll costs a clock read and nothing else. A callback that returns false asks
// the computation to stop at once.
class YieldTicker
{
public:
    using Callback = std::function<bool()>;

    static constexpr std::chrono::milliseconds defaultInterval{20};

    explicit YieldTicker(Callback callback = {},
                         std::chrono::milliseconds interval = defaultInterval);

    // False when the computation must stop without producing anything.
    bool poll();

private:
    Callback callback_;
    qint64 intervalMs_;
    QElapsedTimer clock_;
};
