#include "platform/StyleSheetSkinFramework.h"

#include "platform/StyleSheetText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QWidget>

namespace {

// Style sheets are a few kilobytes; a file this large is something else.
constexpr qint64 largestSkin = 1024 * 1024;

} // namespace

bool StyleSheetSkinFramework::loadSkin(const QString &skinFile, const QString &imageFolder)
{
    sheet_.clear();
    QFile file(skinFile);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("it cannot be read (%1)").arg(file.errorString());
        return false;
    }
    const QByteArray bytes = file.read(largestSkin + 1);
    if (file.error() != QFileDevice::NoError) {
        error_ = QStringLiteral("it cannot be read (%1)").arg(file.errorString());
        return false;
    }
    if (bytes.size() > largestSkin) {
        error_ = QStringLiteral("it is larger than 1 MB, far too large for a style sheet");
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString sheet = decoder(bytes);
    if (decoder.hasError()) {
        error_ = QStringLiteral("it is not UTF-8 text");
        return false;
    }
    error_ = StyleSheetText::problem(sheet);
    if (!error_.isEmpty()) {
        error_ = QStringLiteral("it is not a style sheet: %1").arg(error_);
        return false;
    }
    const QString folder = imageFolder.isEmpty() ? QFileInfo(skinFile).absolutePath() : imageFolder;
    sheet_ = StyleSheetText::withUrlsIn(sheet, folder);
    return true;
}

QString StyleSheetSkinFramework::styleSheet() const
{
    QString sheet = sheet_;
    if (keepFonts_)
        sheet = StyleSheetText::withoutProperties(
            sheet,
            {QStringLiteral("font"), QStringLiteral("font-family"), QStringLiteral("font-size"),
             QStringLiteral("font-style"), QStringLiteral("font-weight")});
    if (keepSizes_)
        sheet = StyleSheetText::withoutProperties(
            sheet, {QStringLiteral("min-width"), QStringLiteral("min-height"),
                    QStringLiteral("max-width"), QStringLiteral("max-height")});
    return sheet;
}

void StyleSheetSkinFramework::applyWindow(QWidget &window)
{
    if (sheet_.isEmpty() || !(options_ & applyStyleSheet))
        return;
    window.setStyleSheet(styleSheet());
}
