#include "app/StoredChoices.h"

namespace StoredChoices {

std::optional<bool> readBoolean(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool isNumber = false;
    const double number = trimmed.toDouble(&isNumber);
    if (!isNumber)
        return std::nullopt;
    return number != 0.0;
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
