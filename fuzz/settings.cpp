#include "FuzzSupport.h"
#include "app/StoredChoices.h"
#include "platform/IniSettingsStore.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

// The stored choices as the window reads them at start-up: any texts through StoredChoices
// against its rules written out plainly, and a hand-edited settings file of any bytes through
// the store, which must never crash and whose values must be texts that a user typed there.

namespace {

using namespace StoredChoices;

// "True" or "False" in any letter case, or a decimal number, which is false when it is zero.
std::optional<bool> referenceBoolean(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.toCaseFolded() == QLatin1String("true"))
        return true;
    if (trimmed.toCaseFolded() == QLatin1String("false"))
        return false;
    static const QRegularExpression number(
        QStringLiteral(R"(^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?$)"));
    const QRegularExpressionMatch match = number.match(trimmed);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).contains(QRegularExpression(QStringLiteral("[1-9]")));
}

void checkChoices(const QString &comparison, const QString &option1, const QString &option2)
{
    const QByteArray shown = visible(comparison.toUtf8()) + ' ' + visible(option1.toUtf8()) + ' ' +
                             visible(option2.toUtf8());
    require(isStandardMethod(comparison) == (comparison == QLatin1String("1")),
            "exactly \"1\" is the standard method", shown);
    for (const QString &text : {option1, option2})
        require(readBoolean(text) == referenceBoolean(text), "a Boolean read as the rules say",
                visible(text.toUtf8()));
    // No Boolean reads as the key's default: differences only for Option2, not all lines for
    // Option1; differences only wins, and is what is left when neither is chosen.
    const bool differencesOnly = referenceBoolean(option2).value_or(true);
    const bool allLines = referenceBoolean(option1).value_or(false);
    const DisplayMode expected = differencesOnly || !allLines ? DisplayMode::DifferencesOnly
                                                              : DisplayMode::AllLinesHighlighted;
    require(displayModeAtStartUp(option2, option1) == expected, "the display mode at start-up",
            shown);
}

// A value read is the default or the text the file holds at the key: an entry that QSettings
// reads as something else (a list, bytes, a number, a date) is nothing a user typed as text.
QString readFrom(const IniSettingsStore &store, const QString &key, const QString &defaultValue)
{
    const QString value = store.read(application, section, key, defaultValue);
    const QVariant entry = QSettings(store.filePath(application), QSettings::IniFormat)
                               .value(section + QLatin1Char('/') + key);
    const bool typed = entry.typeId() == QMetaType::QString;
    require(value == (typed ? entry.toString() : defaultValue),
            "a value read is the text typed at the key, or the default", visible(value.toUtf8()));
    return value;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // As in the program, where a hand-edited entry may name any type that Qt Gui registers.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    const QList<QByteArray> texts = inputTexts(bytes, 3);
    checkChoices(QString::fromUtf8(texts[0]), QString::fromUtf8(texts[1]),
                 QString::fromUtf8(texts[2]));

    // The whole input as the settings file.
    QTemporaryDir folder;
    IniSettingsStore store(folder.path());
    writeInput(store.filePath(application), bytes);
    checkChoices(readFrom(store, comparisonKey, comparisonDefault),
                 readFrom(store, option1Key, option1Default),
                 readFrom(store, option2Key, option2Default));
    return 0;
}
