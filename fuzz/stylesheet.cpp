#include "FuzzSupport.h"
#include "platform/StyleSheetSkinFramework.h"
#include "platform/StyleSheetText.h"

#include <QRegularExpression>
#include <QTemporaryDir>

// A skin file of any bytes: the check names only lines the file has, and a sheet it accepts is
// still one after its references are made absolute and the font and size declarations dropped.

namespace {

// Every "line N" of a problem names a line of the sheet.
void checkLineNumbers(const QString &problem, const QString &sheet)
{
    static const QRegularExpression line(QStringLiteral(R"(line (\d+))"));
    const qsizetype lines = sheet.count(u'\n') + 1;
    for (auto matches = line.globalMatch(problem); matches.hasNext();) {
        const qsizetype number = matches.next().captured(1).toLongLong();
        require(number >= 1 && number <= lines, "a problem names a line of the sheet",
                problem.toUtf8());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    const QString sheet = QString::fromUtf8(bytes);
    checkLineNumbers(StyleSheetText::problem(sheet), sheet);

    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("o.cjs"));
    writeInput(path, bytes);
    StyleSheetSkinFramework skin;
    if (!skin.loadSkin(path, QString())) {
        require(!skin.lastError().isEmpty(), "a refused skin says why");
        return 0;
    }
    skin.setKeepFonts(true);
    skin.setKeepSizes(true);
    const QString applied = skin.styleSheet();
    require(StyleSheetText::problem(applied).isEmpty(), "an accepted sheet stays a style sheet",
            visible(bytes) + " becomes " + visible(applied.toUtf8()));
    return 0;
}
