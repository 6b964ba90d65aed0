#pragma once

#include <QString>

// The window's title, which message boxes carry too.
inline QString appTitle()
{
    return QStringLiteral("Parvenex");
}
