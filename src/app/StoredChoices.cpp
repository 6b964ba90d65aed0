#include "app/StoredChoices.h"

namespace StoredChoices {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Whether text is a decimal number, [+-]digits[.digits][e[+-]digits] with digits on at least one
// side of the point, that is not zero. Only zero or not matters, so any number of digits will do;
// QString::toDouble() would refuse numbers beyond a double's range and take "nan" and "inf".
std::optional<bool> decimalIsNonZero(QStringView text)
{
    qsizetype i = 0;
    const auto skipSign = [&] {
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ++i;
    };
    skipSign();
    bool digits = false;
    bool nonZero = false;
    const auto skipDigits = [&] {
        for (; i < text.size() && isDigit(text[i]); ++i) {
            digits = true;
            nonZero = nonZero || text[i] != u'0';
        }
    };
    skipDigits();
    if (i < text.size() && text[i] == u'.') {
        ++i;
        skipDigits();
    }
    if (!digits)
        return std::nullopt;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        skipSign();
        const qsizetype exponent = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        if (i == exponent)
            return std::nullopt;
    }
    if (i < text.size())
        return std::nullopt;
    return nonZero;
}

} // namespace

std::optional<bool> readBoolean(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return decimalIsNonZero(trimmed);
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool isStandardMethod(const QString &comparisonText)
{
    return comparisonText == QLatin1String("1");
}

DisplayMode displayModeAtStartUp(const QString &option2Text, const QString &option1Text)
{
    const bool option2 = readBoolean(option2Text).value_or(*readBoolean(option2Default));
    if (option2)
        return DisplayMode::DifferencesOnly;
    const bool option1 = readBoolean(option1Text).value_or(*readBoolean(option1Default));
    return option1 ? DisplayMode::AllLinesHighlighted : DisplayMode::DifferencesOnly;
}

} // namespace StoredChoices
