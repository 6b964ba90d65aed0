#pragma once

#include <QString>
#include <optional>

// How the stored texts of the window's two choices are read back at start-up.
namespace StoredChoices {

inline const QString application = QStringLiteral("Quenlow");
inline const QString section = QStringLiteral("Parvenex");
inline const QString comparisonKey = QStringLiteral("Comparison");
inline const QString option1Key = QStringLiteral("Option1");
inline const QString option2Key = QStringLiteral("Option2");
inline const QString comparisonDefault = QStringLiteral("1");
inline const QString option1Default = QStringLiteral("0");
inline const QString option2Default = QStringLiteral("1");

// "True" / "False" in any letter case, or a decimal number (zero is false), each with spaces
// around it or not; anything else is no Boolean at all.
std::optional<bool> readBoolean(const QString &text);
QString booleanText(bool value);

// Exactly "1" is the standard method; any other text, the empty one included, the word-processor
// method.
bool isStandardMethod(const QString &comparisonText);

enum class DisplayMode { AllLinesHighlighted, DifferencesOnly };

// The display mode that the stored "Option2" and "Option1" texts select when they are applied in
// that order. A text that is no Boolean reads as its key's default, and texts that would leave
// neither mode selected fall back to the differences-only mode.
DisplayMode displayModeAtStartUp(const QString &option2Text, const QString &option1Text);

} // namespace StoredChoices
