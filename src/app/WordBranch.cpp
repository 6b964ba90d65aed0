#include "app/WordBranch.h"

#include "app/Form1.h"
#include "app/WaitPointer.h"
#include "pane/RichTextPane.h"
#include "platform/MessageBoxes.h"
#include "wordcompare/SourcePanes.h"
#include "wordcompare/Word1.h"

#include <QDir>
#include <QSaveFile>
#include <QStringEncoder>

namespace {

// The save buttons' format: the text and CR LF in the system's code page, or in UTF-8 when
// that code page cannot hold every character.
bool writePaneText(const QString &text, const QString &path, MessageBoxes &messages)
{
    const QString content = text + QStringLiteral("\r\n");
    QStringEncoder encoder(QStringConverter::System);
    QByteArray bytes = encoder.encode(content);
    if (encoder.hasError())
        bytes = content.toUtf8();
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    messages.warn(QStringLiteral("The text could not be written to %1.\n\n%2")
                      .arg(QDir::toNativeSeparators(path), file.errorString()));
    return false;
}

class FormSourcePanes : public SourcePanes
{
public:
    explicit FormSourcePanes(Form1 &form) : form_(form) {}

    QString text(int side) const override { return pane(side).text(); }
    bool save(int side, const QString &path) override
    {
        return writePaneText(pane(side).text(), path, form_.services().messages);
    }

private:
    RichTextPane &pane(int side) const
    {
        return side == 1 ? *form_.RichTextBox1 : *form_.RichTextBox2;
    }

    Form1 &form_;
};

} // namespace

void runWordBranch(Form1 &form)
{
    WaitPointer wait(form);
    FormSourcePanes panes(form);
    Word1(form.services().wordAutomation, form.services().messages).compareSourcePanes(panes);
}
