#pragma once

#include <QString>

// Modal message boxes under the program's title. Behind an interface so that tests can answer
// them instead of blocking.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;

    // A message with an OK button and no icon.
    virtual void inform(const QString &text) = 0;
    // A question with Yes and No, Yes being the default; no icon. True means Yes.
    virtual bool askYesNo(const QString &text) = 0;
    // A problem the user must know of: OK button and a warning icon.
    virtual void warn(const QString &text) = 0;
};
