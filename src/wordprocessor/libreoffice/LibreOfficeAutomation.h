#pragma once

#include "wordprocessor/Automation.h"

#include <QString>
#include <QStringList>

#include <unistd.h>

// How to reach the office. The defaults start the user's own LibreOffice with a window; tests
// make it headless with a profile of its own.
struct LibreOfficeOptions
{
    QString programFolder = QStringLiteral(PARVENEX_LIBREOFFICE_PROGRAM_DIR);
    // The office that this program starts listens on this pipe; finding it there is what makes
    // it the running instance. Empty: the user's own session pipe.
    QString pipeName;
    // The account whose office, and pipe, alone may answer.
    uid_t owner = ::getuid();
    QStringList extraArguments;
    int startTimeoutSeconds = 60;
};

// The word processor's automation mapped onto LibreOffice Writer through UNO:
// - the class "Word.Application" is LibreOffice; the active instance is an office that this
//   program started earlier and that still runs, and a new object starts one (or, since one
//   LibreOffice serves all of a user's documents, connects to the one already running);
// - Documents.Open loads a file as a hidden document;
// - Document.Merge with a new-document target loads the second file as a new, untitled hidden
//   document and runs Writer's own document comparison in it against the first document, so
//   that it shows as tracked changes how the first text becomes the second;
// - Document.Close closes the document; Application.Visible shows the windows of the documents
//   that this application object loaded; DisplayAlerts decides whether the office may ask the
//   user while it loads; the default member is the office's product name.
// Application.Quit (only without saving changes), and letting an application object go without
// ever having made it visible, close what it loaded and end the office if it started it and
// nothing else is open there.
class LibreOfficeAutomation : public AutomationRegistry
{
public:
    explicit LibreOfficeAutomation(LibreOfficeOptions options = {});

    std::unique_ptr<AutomationApplication>
    getActiveObject(const std::u16string &className) override;
    std::unique_ptr<AutomationApplication> createObject(const std::u16string &className) override;
    std::u16string wordProcessorName() const override { return u"LibreOffice"; }

private:
    qint64 startOffice() const;

    LibreOfficeOptions options_;
};
