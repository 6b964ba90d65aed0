#include "platform/StyleSheetText.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace StyleSheetText {

namespace {

bool isText(const QString &sheet)
{
    for (const QChar c : sheet) {
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r' && c != u'\f')
            return false;
    }
    return true;
}

bool isDeclaration(const QString &text)
{
    static const QRegularExpression declaration(QStringLiteral(R"(^-?[A-Za-z][-A-Za-z0-9]*\s*:)"));
    return declaration.match(text).hasMatch();
}

// Walks the sheet once, skipping comments and strings, and stops at the first thing that
// cannot be part of a style sheet.
class Scanner
{
public:
    explicit Scanner(const QString &sheet) : sheet_(sheet) {}

    QString problem()
    {
        for (i_ = 0; i_ < sheet_.size(); ++i_) {
            const QChar c = sheet_[i_];
            QString found;
            if (c == u'\n')
                ++line_;
            else if (c == u'/' && i_ + 1 < sheet_.size() && sheet_[i_ + 1] == u'*')
                found = skipComment();
            else if (c == u'"' || c == u'\'')
                found = skipString(c);
            else if (c == u'{')
                found = open();
            else if (c == u'}')
                found = close();
            else if (c == u';' && inRule_)
                found = endDeclaration();
            else if (!c.isSpace())
                mark();
            if (!found.isEmpty())
                return found;
        }
        if (inRule_)
            return QStringLiteral("the rule opened on line %1 is never closed").arg(ruleLine_);
        if (textLine_ > 0)
            return QStringLiteral("line %1 holds text outside any rule").arg(textLine_);
        if (rules_ == 0)
            return QStringLiteral("it holds no style rules");
        return {};
    }

private:
    // Notes where the current selector or declaration starts.
    void mark()
    {
        if (textLine_ == 0) {
            textLine_ = line_;
            textStart_ = i_;
        }
    }

    QString skipComment()
    {
        const qsizetype end = sheet_.indexOf(QStringLiteral("*/"), i_ + 2);
        if (end < 0)
            return QStringLiteral("a comment opened on line %1 is never closed").arg(line_);
        line_ += int(QStringView(sheet_).mid(i_, end - i_).count(u'\n'));
        i_ = end + 1;
        return {};
    }

    QString skipString(QChar quote)
    {
        mark();
        const int opened = line_;
        for (++i_; i_ < sheet_.size() && sheet_[i_] != quote; ++i_) {
            if (sheet_[i_] == u'\n')
                return QStringLiteral("a string opened on line %1 is never closed").arg(opened);
            if (sheet_[i_] == u'\\' && i_ + 1 < sheet_.size() && sheet_[++i_] == u'\n')
                ++line_;
        }
        if (i_ >= sheet_.size())
            return QStringLiteral("a string opened on line %1 is never closed").arg(opened);
        return {};
    }

    QString open()
    {
        if (inRule_)
            return QStringLiteral("line %1 opens a rule inside a rule").arg(line_);
        if (textLine_ == 0)
            return QStringLiteral("the rule on line %1 has no selector").arg(line_);
        inRule_ = true;
        ruleLine_ = line_;
        textLine_ = 0;
        return {};
    }

    QString close()
    {
        if (!inRule_)
            return QStringLiteral("line %1 closes a rule that was never opened").arg(line_);
        const QString found = endDeclaration();
        inRule_ = false;
        ++rules_;
        return found;
    }

    QString endDeclaration()
    {
        if (textLine_ == 0)
            return {};
        static const QRegularExpression comment(QStringLiteral(R"(/\*.*?\*/)"),
                                                QRegularExpression::DotMatchesEverythingOption);
        const QString text = sheet_.mid(textStart_, i_ - textStart_).remove(comment).simplified();
        if (!isDeclaration(text))
            return QStringLiteral("line %1 holds \"%2\", which is not a declaration "
                                  "(property: value)")
                .arg(textLine_)
                .arg(text.left(40));
        textLine_ = 0;
        return {};
    }

    const QString &sheet_;
    qsizetype i_ = 0;
    int line_ = 1;
    bool inRule_ = false;
    int ruleLine_ = 0;
    int rules_ = 0;
    // Start of the selector or declaration being read; line 0 when there is none.
    int textLine_ = 0;
    qsizetype textStart_ = 0;
};

// The index past the comment or string that starts at i, or i when none starts there.
qsizetype pastCommentOrString(const QString &sheet, qsizetype i)
{
    if (QStringView(sheet).mid(i, 2) == u"/*") {
        const qsizetype end = sheet.indexOf(QStringLiteral("*/"), i + 2);
        return end < 0 ? sheet.size() : end + 2;
    }
    const QChar quote = sheet[i];
    if (quote != u'"' && quote != u'\'')
        return i;
    for (++i; i < sheet.size() && sheet[i] != quote; ++i) {
        if (sheet[i] == u'\\')
            ++i;
    }
    return std::min(i + 1, sheet.size());
}

// The end of the declaration that starts at i: past its ";", or at the "}" that ends its rule.
qsizetype endOfDeclaration(const QString &sheet, qsizetype i)
{
    while (i < sheet.size() && sheet[i] != u';' && sheet[i] != u'}') {
        const qsizetype past = pastCommentOrString(sheet, i);
        i = past > i ? past : i + 1;
    }
    return i < sheet.size() && sheet[i] == u';' ? i + 1 : i;
}

} // namespace

QString problem(const QString &sheet)
{
    if (!isText(sheet))
        return QStringLiteral("it holds control characters, so it is not text");
    if (sheet.trimmed().isEmpty())
        return QStringLiteral("it is empty");
    return Scanner(sheet).problem();
}

QString withUrlsIn(const QString &sheet, const QString &folder)
{
    // A path in quotes, or one without spaces, quotes and parentheses. One with a backslash
    // stays as it is: written in quotes, the backslash would escape what follows.
    static const QRegularExpression url(
        QStringLiteral(R"re(url\(\s*(?:"([^"\\\n]*)"|'([^'\\\n]*)'|([^"'()\s\\]*))\s*\))re"),
        QRegularExpression::CaseInsensitiveOption);
    const QDir base(folder);
    QString result;
    qsizetype copied = 0;
    for (auto matches = url.globalMatch(sheet); matches.hasNext();) {
        const QRegularExpressionMatch match = matches.next();
        const QString path =
            QString(match.captured(1) + match.captured(2) + match.captured(3)).trimmed();
        if (path.isEmpty() || path.startsWith(u':') || QDir::isAbsolutePath(path))
            continue;
        const QString absolute = QDir::cleanPath(base.absoluteFilePath(path));
        if (absolute.contains(u'"') || absolute.contains(u'\\'))
            continue;
        result += QStringView(sheet).mid(copied, match.capturedStart() - copied);
        result += QStringLiteral("url(\"%1\")").arg(absolute);
        copied = match.capturedEnd();
    }
    result += QStringView(sheet).mid(copied);
    return result;
}

QString withoutProperties(const QString &sheet, const QStringList &properties)
{
    QStringList names;
    for (const QString &property : properties)
        names.append(QRegularExpression::escape(property));
    const QRegularExpression declaration(QStringLiteral(R"((?:%1)\s*:)").arg(names.join(u'|')),
                                         QRegularExpression::CaseInsensitiveOption);
    // Declarations are found where they can start, inside a rule after "{" or ";" and before
    // anything but spaces and comments; the same words in a selector, a comment or a string
    // are no declaration.
    QString result;
    qsizetype copied = 0;
    bool inRule = false;
    bool atDeclaration = false;
    for (qsizetype i = 0; i < sheet.size();) {
        const qsizetype past = pastCommentOrString(sheet, i);
        if (past > i) {
            atDeclaration = atDeclaration && sheet[i] == u'/';
            i = past;
            continue;
        }
        const QChar c = sheet[i];
        if (atDeclaration && !c.isSpace()) {
            atDeclaration = false;
            if (declaration
                    .match(sheet, i, QRegularExpression::NormalMatch,
                           QRegularExpression::AnchorAtOffsetMatchOption)
                    .hasMatch()) {
                result += QStringView(sheet).mid(copied, i - copied);
                i = copied = endOfDeclaration(sheet, i);
                atDeclaration = true;
                continue;
            }
        }
        if (c == u'{' || c == u'}')
            inRule = c == u'{';
        atDeclaration = atDeclaration || (inRule && (c == u'{' || c == u';'));
        ++i;
    }
    result += QStringView(sheet).mid(copied);
    return result;
}

} // namespace StyleSheetText
