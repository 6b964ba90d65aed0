#pragma once

// QScintilla's headers use Qt's bare signal and slot keywords, which this project builds
// without; they are lent to those headers alone.
#define signals Q_SIGNALS
#define slots Q_SLOTS
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>
#undef slots
#undef signals
