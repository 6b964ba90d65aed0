#include "pane/TextPane.h"
#include "FuzzSupport.h"
#include "PaneTextReference.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStandardPaths>

// A real pane given any text, through both of its setters: the text, its length and bytes read
// back, and every index and byte position mapped, against the reference's CR LF string; then a
// selection somewhere in it replaced by typing, and undone.

namespace {
TextPane *pane = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    new QApplication(*argc, *argv);
    pane = new TextPane;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the setter; the rest is the text.
    const QByteArray bytes = inputBytes(data + 1, size - 1);
    const QString text = QString::fromUtf8(bytes);
    if (data[0] & 1)
        pane->setUtf8Text(text.toUtf8());
    else
        pane->setText(text);

    const PaneTextReference ref(text);
    const QByteArray shown = visible(ref.text.toUtf8());
    require(pane->text() == ref.text, "the text reads back with CR LF breaks", shown);
    require(pane->textLength() == ref.text.size(), "the length in UTF-16 units", shown);
    require(pane->utf8Text() == ref.text.toUtf8(), "the bytes are the text's UTF-8", shown);
    for (qsizetype i = -1; i <= ref.text.size() + 1; ++i) {
        if (pane->bytePosition(i) != ref.byteOf(i))
            fail("the byte position of every index", shown + " at index " + QByteArray::number(i));
    }
    for (qsizetype b = -1; b <= ref.bytes.last() + 1; ++b) {
        if (pane->indexOfBytePosition(b) != ref.indexOfByte(b))
            fail("the index of every byte position", shown + " at byte " + QByteArray::number(b));
    }
    // The first byte's other bits place the selection.
    const qsizetype start = ref.text.size() * (data[0] >> 2) / 64;
    const qsizetype length = data[0] & 2 ? 3 : 0;
    pane->setSelStart(start);
    pane->setSelLength(length);
    const qsizetype from = ref.snap(start);
    const qsizetype to = ref.snap(from + length);
    for (const auto &[key, typed] : {std::pair{int(Qt::Key_Eacute), QStringLiteral("\u00e9")},
                                     {int(Qt::Key_Return), QStringLiteral("\r")}}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed);
        QCoreApplication::sendEvent(pane, &press);
    }
    const QString edited = ref.text.left(from) + u"\u00e9\r\n" + ref.text.mid(to);
    require(pane->text() == edited, "typing replaces the selection", shown);
    require(pane->textLength() == edited.size(), "the length after typing", shown);
    pane->undo();
    require(pane->text() == ref.text, "undo restores the text", shown);
    return 0;
}
