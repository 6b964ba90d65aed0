// A long seeded-random run of user actions on the real window, checking after every action what
// must always hold. PARVENEX_SOAK_SEED and PARVENEX_SOAK_ACTIONS replay or lengthen a run; a
// failure prints the seed, the action and the actions before it.

#include "TempFiles.h"
#include "TestServices.h"
#include "app/MainWindow.h"
#include "pane/TextPane.h"

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <array>
#include <cstdio>
#include <functional>
#include <optional>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/common_interface_defs.h>
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr int defaultSeed = 1;
constexpr int defaultActions = 10000;
constexpr qsizetype historyLength = 12;

int fromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// Every line break as CR LF, as a pane holds a text.
QByteArray withCrLf(const QByteArray &text)
{
    QByteArray result;
    result.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            result += "\r\n";
        } else {
            result += text[i];
        }
    }
    return result;
}

// The pane text of a file's bytes by the README's rules, as UTF-8 with its own line breaks;
// nothing for a binary file.
std::optional<QByteArray> decoded(const QByteArray &bytes)
{
    const auto decode = [&](QStringConverter::Encoding encoding, qsizetype mark) {
        QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
        return QString(decoder(bytes.sliced(mark))).toUtf8();
    };
    QByteArray text;
    if (bytes.startsWith("\xef\xbb\xbf"))
        text = decode(QStringConverter::Utf8, 3);
    else if (bytes.startsWith("\xff\xfe"))
        text = decode(QStringConverter::Utf16LE, 2);
    else if (bytes.startsWith("\xfe\xff"))
        text = decode(QStringConverter::Utf16BE, 2);
    else if (bytes.isValidUtf8())
        text = bytes;
    else
        text = QString(QStringDecoder("windows-1252")(bytes)).toUtf8();
    if (text.contains('\0'))
        return std::nullopt;
    return text;
}

// The lines of text #1 that text #2 lacks, each followed by CR LF: the line comparison's listing.
QByteArray missingLines(QByteArrayView source, QByteArrayView other)
{
    const auto lines = [](QByteArrayView text) {
        QList<QByteArrayView> result;
        for (qsizetype start = 0; start < text.size();) {
            qsizetype end = text.indexOf("\r\n", start);
            end = end < 0 ? text.size() : end;
            result.append(text.sliced(start, end - start));
            start = end + 2;
        }
        return result;
    };
    const QList<QByteArrayView> otherLines = lines(other);
    const QSet<QByteArrayView> present(otherLines.begin(), otherLines.end());
    QByteArray listing;
    for (QByteArrayView line : lines(source))
        if (!present.contains(line))
            listing.append(line).append("\r\n");
    return listing;
}

class Soak;
const Soak *running = nullptr;

// The window under a run of random actions, with a model of what each pane must hold.
class Soak
{
public:
    Soak(quint32 seed, int actions) : seed_(seed), actions_(actions), random_(seed)
    {
        running = this;
        qputenv("TMPDIR", QFile::encodeName(scratch()));
        QDir(folder_.path()).mkpath(u"sub"_s);
        QDir(folder_.path()).mkpath(u"tmp"_s);
        window_.show();
        nestedTimer_.setSingleShot(true);
        nestedTimer_.setInterval(0);
        QObject::connect(&nestedTimer_, &QTimer::timeout, [this] { actDuringARun(); });
    }
    ~Soak() { running = nullptr; }

    // Runs the actions, then closes the window during a comparison. Returns the first failure
    // with what led to it, or an empty string.
    QString run()
    {
        using Action = void (Soak::*)();
        const std::pair<int, Action> actions[] = {
            {14, &Soak::load},   {4, &Soak::drop},          {10, &Soak::type},
            {6, &Soak::paste},   {10, &Soak::compareLines}, {8, &Soak::compareWords},
            {8, &Soak::display}, {5, &Soak::method},        {12, &Soak::save},
            {4, &Soak::reshape}, {10, &Soak::duringARun},
        };
        int total = 0;
        for (const auto &action : actions)
            total += action.first;
        for (number_ = 1; number_ <= actions_; ++number_) {
            // A big text gives way to a small one at once: most actions must stay quick.
            if (const int side = bigSource(); side >= 0) {
                loadWith(side, false, plainUtf8);
            } else {
                int pick = bounded(total);
                for (const auto &[weight, action] : actions) {
                    if ((pick -= weight) < 0) {
                        (this->*action)();
                        break;
                    }
                }
            }
            checkInvariants();
            if (!failure_.isEmpty())
                return report(failure_);
        }
        closeDuringARun();
        return failure_.isEmpty() ? QString() : report(failure_);
    }

    QString report(const QString &what) const
    {
        return u"seed %1, action %2 of %3: %4\nThe last actions:\n  "_s.arg(seed_)
                   .arg(number_)
                   .arg(actions_)
                   .arg(what) +
               history_.join(u"\n  "_s);
    }

    // How many actions came during a yield while a comparison ran, past its start.
    int actedWhileRunning() const { return actedWhileRunning_; }

private:
    // The source pane and the result pane of each side, in the model's order.
    TextPane *pane(int i) const { return panes_[i]; }
    // The pane of the side that its save button writes and that the user types into.
    int shownPane(int side) const { return pane(side)->isHidden() ? side + 2 : side; }
    bool highlighting() const { return window_.highlightOption->isChecked(); }
    int bigSource() const
    {
        for (int side : {0, 1})
            if (model_[side].size() > 64 * 1024)
                return side;
        return -1;
    }
    bool standardMethod() const { return window_.standardMethodOption->isChecked(); }

    int bounded(int n) { return int(random_.bounded(quint32(n))); }
    bool chance(int percent) { return bounded(100) < percent; }
    template <typename T> const T &pick(const QList<T> &items)
    {
        return items[bounded(int(items.size()))];
    }

    void record(const QString &action)
    {
        history_.append(
            u"#%1%2 %3"_s.arg(number_).arg(depth_ ? u" (during a run)"_s : QString(), action));
        if (history_.size() > historyLength)
            history_.removeFirst();
    }
    void check(bool ok, const QString &what)
    {
        if (!ok && failure_.isEmpty())
            failure_ = what;
    }
    void checkPane(int i, const char *when)
    {
        if (pane(i)->utf8Text() != model_[i])
            check(false,
                  u"pane %1 %2: %3 instead of %4"_s.arg(i + 1).arg(
                      QLatin1String(when), visible(pane(i)->utf8Text()), visible(model_[i])));
    }
    static QString visible(QByteArrayView text)
    {
        QString shown = QString::fromUtf8(text.first(qMin<qsizetype>(text.size(), 120)));
        shown.replace(u'\r', u"\\r"_s).replace(u'\n', u"\\n"_s);
        return u'"' + shown +
               (text.size() > 120 ? u"...\" (%1 bytes)"_s.arg(text.size()) : u"\""_s);
    }

    QString scratch() const { return folder_.filePath(u"tmp"_s); }

    // What holds after every action that has ended at the top level.
    void checkInvariants()
    {
        for (int i = 0; i < 4; ++i)
            checkPane(i, "after the action");
        check(window_.mousePointer() == PointerCode::Default, u"the pointer is not the default"_s);
        const FakeSettingsStore &settings = env_.settings;
        check(settings.stored(u"Comparison"_s) == (standardMethod() ? u"1"_s : u"2"_s) &&
                  settings.stored(u"Option1"_s) == (highlighting() ? u"True"_s : u"False"_s) &&
                  settings.stored(u"Option2"_s) == (highlighting() ? u"False"_s : u"True"_s),
              u"the stored settings differ from the selected options"_s);
        check(pane(0)->isHidden() == !highlighting() && pane(1)->isHidden() == !highlighting() &&
                  pane(2)->isHidden() == highlighting() && pane(3)->isHidden() == highlighting(),
              u"the shown panes differ from the display mode"_s);
        check(pane(2)->geometry() == pane(0)->geometry() &&
                  pane(3)->geometry() == pane(1)->geometry() &&
                  pane(0)->width() == pane(1)->width(),
              u"the panes are out of place"_s);
        check(env_.dialog.answers.isEmpty() && env_.messages.answers.isEmpty(),
              u"a dialog or question that was expected did not come"_s);
        env_.messages.shown.clear();
        env_.settings.writes.clear();
        env_.dialog.shown.clear();
        env_.automation.log.clear();
    }

    // Message boxes as "inform", "ask" and "warn", space-separated.
    QString messageKinds() const
    {
        QStringList kinds;
        for (const FakeMessageBoxes::Shown &message : env_.messages.shown)
            kinds.append(QStringList{u"inform"_s, u"ask"_s, u"warn"_s}[int(message.kind)]);
        return kinds.join(u' ');
    }
    void checkMessages(const QStringList &expected, const QString &action)
    {
        if (messageKinds() != expected.join(u' '))
            check(false, u"%1 showed the messages \"%2\" instead of \"%3\": %4"_s.arg(
                             action, messageKinds(), expected.join(u' '),
                             env_.messages.texts().join(u" | ")));
        env_.messages.shown.clear();
    }

    // A generated file of a random kind: its path and what it is, for the history.
    static constexpr int anyKind = -1;
    static constexpr int plainUtf8 = 0;
    static constexpr int manyLines = 15;

    // A file of a random kind, or of the given one, written anew: its path and what it is.
    std::pair<QString, QString> randomFile(int kind = anyKind)
    {
        static const QStringList words{u"alpha"_s,         u"beta"_s,   u" "_s,
                                       u"\u00e9t\u00e9"_s, u"\u20ac"_s, u"\u4e2d\u6587"_s,
                                       u"\U0001F600"_s,    u"x"_s};
        static const QStringList breaks{u"\r\n"_s, u"\n"_s, u"\r"_s};
        // Lines of random words and breaks; Windows-1252 has the first five words only.
        const auto text = [&](bool ansi) {
            QString result;
            for (int line = bounded(8); line >= 0; --line) {
                for (int word = bounded(6); word > 0; --word)
                    result += ansi ? words[bounded(5)] : pick(words);
                if (line > 0 || chance(50))
                    result += pick(breaks);
            }
            return result;
        };
        const auto encoded = [&](QStringEncoder encoder, bool ansi = false) {
            return QByteArray(encoder(text(ansi)));
        };
        const auto bytes = [&](bool withNul) {
            QByteArray result;
            for (int n = bounded(200); n > 0; --n)
                result += char(withNul ? bounded(256) : 1 + bounded(255));
            return result;
        };
        using Utf16 = QStringEncoder;
        // Plain UTF-8, the commonest, three times; the last two, big ones, rarely: a line past
        // the quarter megabyte that a pane shows of it, in long words so that the word
        // comparison stays quick, and thousands of short lines. No content: an empty file.
        const std::pair<const char *, std::function<QByteArray()>> kinds[] = {
            {"utf-8", [&]() -> QByteArray { return text(false).toUtf8(); }},
            {"utf-8", [&]() -> QByteArray { return text(false).toUtf8(); }},
            {"utf-8", [&]() -> QByteArray { return text(false).toUtf8(); }},
            {"utf-8 with bom",
             [&]() -> QByteArray { return "\xef\xbb\xbf" + text(false).toUtf8(); }},
            {"utf-16le with bom",
             [&]() -> QByteArray { return "\xff\xfe" + encoded(Utf16(Utf16::Utf16LE)); }},
            {"utf-16be with bom",
             [&]() -> QByteArray { return "\xfe\xff" + encoded(Utf16(Utf16::Utf16BE)); }},
            {"utf-16le", [&]() -> QByteArray { return encoded(Utf16(Utf16::Utf16LE)); }},
            {"windows-1252",
             [&]() -> QByteArray { return encoded(QStringEncoder("windows-1252"), true); }},
            {"invalid utf-8", [&]() -> QByteArray { return bytes(false); }},
            {"binary", [&]() -> QByteArray { return bytes(true); }},
            {"empty", nullptr},
            {"missing", nullptr},
            {"folder", nullptr},
            {"saved", nullptr},
            {"long line",
             [&]() -> QByteArray {
                 return QByteArray(QByteArray(99, 'w') + ' ').repeated(2650 + bounded(50));
             }},
            {"many lines",
             [&]() -> QByteArray {
                 QByteArray lines;
                 for (int line = 0, count = 40000 + bounded(10000); line < count; ++line)
                     lines += "line " + QByteArray::number(bounded(line + 1)) + "\r\n";
                 return lines;
             }},
        };
        // The big ones only at the top level, where the next action replaces them.
        if (kind == anyKind)
            kind = depth_ == 0 && bounded(400) == 0 ? manyLines - 1 + bounded(2)
                                                    : bounded(manyLines - 1);
        const QString what = QLatin1String(kinds[kind].first);
        if (what == u"missing"_s)
            return {folder_.filePath(u"gone-%1.txt"_s.arg(bounded(4))), what};
        if (what == u"folder"_s)
            return {folder_.filePath(u"sub"_s), what};
        if (what == u"saved"_s && !saved_.isEmpty()) {
            const QString saved = pick(saved_);
            return {saved, what + u" (%1 B)"_s.arg(QFileInfo(saved).size())};
        }
        const QByteArray content = kinds[kind].second ? kinds[kind].second() : QByteArray();
        const QString path = folder_.filePath(u"file-%1.txt"_s.arg(bounded(24)));
        check(writeFile(path, content), u"could not write "_s + path);
        return {path, what + u" (%1 B)"_s.arg(content.size())};
    }

    // A random selection of one to three files, as the dialog returns it, or a cancel.
    void loadWith(int side, bool dropped, int kind = anyKind)
    {
        if (!dropped && kind == anyKind && chance(5)) {
            record(u"load #%1: cancel"_s.arg(side + 1));
            env_.dialog.answers.enqueue(QString());
            clickLoad(side);
            checkMessages({}, u"a cancelled load"_s);
            return;
        }
        QStringList paths, kinds;
        for (int n = 1 + (kind == anyKind && chance(30) ? bounded(3) : 0); n > 0; --n) {
            const auto [path, what] = randomFile(kind);
            paths.append(path);
            kinds.append(what);
        }
        record(u"%1 #%2: %3"_s.arg(dropped ? u"drop on"_s : u"load"_s)
                   .arg(side + 1)
                   .arg(kinds.join(u", "_s)));
        // The files as they are on the disk now, each on lines of its own.
        QByteArray text;
        QStringList messages;
        for (const QString &path : paths) {
            const QFileInfo file(path);
            const std::optional<QByteArray> content =
                file.isFile() ? decoded(readFile(path)) : std::nullopt;
            if (!content) {
                messages.append(file.exists() ? u"warn"_s : u"inform"_s);
                continue;
            }
            if (!text.isEmpty() && !content->isEmpty() && !text.endsWith("\r\n"))
                text += "\r\n";
            text += withCrLf(*content);
        }
        if (dropped) {
            dropOn(pane(side), paths);
        } else {
            QString selection = paths.first();
            if (paths.size() > 1) {
                // Their folder, with a separator of its own now and then, then their names.
                selection = folder_.path() + (chance(30) ? u"/"_s : QString());
                for (const QString &path : paths)
                    selection += QChar(0) + QFileInfo(path).fileName();
            }
            env_.dialog.answers.enqueue(selection);
            clickLoad(side);
        }
        model_[side] = text + "\r\n";
        checkMessages(messages, u"the load"_s);
        check(highlighting(), u"a load did not show the source panes"_s);
    }
    void clickLoad(int side) { (side ? window_.loadButton2 : window_.loadButton1)->click(); }
    void load() { loadWith(bounded(2), false); }

    // Files dropped from a file manager on the side's shown pane: a source pane loads them, a
    // result pane takes nothing.
    void drop()
    {
        const int side = bounded(2);
        if (shownPane(side) == side) {
            loadWith(side, true);
            return;
        }
        const QString path = randomFile(plainUtf8).first;
        record(u"drop on result pane %1"_s.arg(side + 3));
        dropOn(pane(side + 2), {path});
        checkMessages({}, u"a drop on a result pane"_s);
    }
    void dropOn(TextPane *target, const QStringList &paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data.setUrls(urls);
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target->viewport(), &enter);
        QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target->viewport(), &drop);
        // The pane loads the files once the drop has ended.
        QCoreApplication::processEvents();
    }

    // A result pane that a running comparison fills may have been emptied already and will be
    // filled anew: what is typed there meanwhile is the user's, and beyond the model.
    bool editable(int i)
    {
        if (i < 2 || !running_)
            return true;
        record(u"nothing typed into result pane %1 while a comparison runs"_s.arg(i + 1));
        return false;
    }

    // Typed at the end of a shown pane; Return starts a new line.
    void type()
    {
        static const QStringList pieces{u"a"_s,      u"Zz"_s,     u" "_s,  u"\u00e9"_s,
                                        u"\u20ac"_s, u"\u4e2d"_s, u"\n"_s, u"  word"_s};
        QString typed;
        for (int n = 1 + bounded(8); n > 0; --n)
            typed += pick(pieces);
        const int i = shownPane(bounded(2));
        if (!editable(i))
            return;
        record(u"type into pane %1: %2"_s.arg(i + 1).arg(visible(typed.toUtf8())));
        QTest::keyClick(pane(i), Qt::Key_End, Qt::ControlModifier);
        for (QChar c : typed) {
            if (c == u'\n')
                QTest::keyClick(pane(i), Qt::Key_Return);
            else
                QTest::sendKeyEvent(QTest::Click, pane(i), Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
        }
        model_[i] += withCrLf(typed.toUtf8());
    }

    // Pasted at the end of a shown pane, any line breaks in it becoming CR LF.
    void paste()
    {
        static const QStringList pieces{u"text"_s,   u"\r"_s, u"\n"_s, u"\r\n"_s,  u"\U0001F600"_s,
                                        u"\u00e9"_s, u"\t"_s, u" "_s,  u"\ufffd"_s};
        QString pasted;
        for (int n = 1 + bounded(10); n > 0; --n)
            pasted += pick(pieces);
        const int i = shownPane(bounded(2));
        if (!editable(i))
            return;
        record(u"paste into pane %1: %2"_s.arg(i + 1).arg(visible(pasted.toUtf8())));
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(pane(i), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(pane(i), Qt::Key_V, Qt::ControlModifier);
        model_[i] += withCrLf(pasted.toUtf8());
    }

    void compareLines()
    {
        record(u"compare lines"_s);
        const bool runs = standardMethod();
        window_.compareLinesButton->click();
        expectListings(runs ? std::optional(false) : std::nullopt);
    }

    void compareWords()
    {
        const bool processor = !standardMethod();
        if (processor)
            env_.automation.failingCall =
                pick(QStringList{QString(), QString(), u"Merge"_s, u"setVisible"_s});
        const QString failing = env_.automation.failingCall;
        record(u"compare words"_s + (processor ? u" in the word processor"_s : QString()) +
               (processor && !failing.isEmpty() ? u", which fails at "_s + failing : QString()));
        window_.compareWordsButton->click();
        if (processor) {
            const bool handed = !model_[0].isEmpty() && !model_[1].isEmpty();
            checkMessages(handed && !env_.automation.failingCall.isEmpty() ? QStringList{u"warn"_s}
                                                                           : QStringList(),
                          u"the word processor"_s);
            check(!handed || env_.automation.log.contains(u"createObject(\"Word.Application\")"_s),
                  u"the texts did not reach the word processor"_s);
            check(QDir(scratch()).isEmpty(), u"the word processor's scratch files were left"_s);
        }
        expectListings(processor ? std::nullopt : std::optional(true));
    }

    // Takes in what a comparison gives: the listings of the lines comparison, which are known,
    // or those of the words comparison, taken as they are. The source panes keep their texts.
    void expectListings(std::optional<bool> words)
    {
        for (int i : {0, 1})
            checkPane(i, "after a comparison");
        if (!words)
            return;
        for (int side : {0, 1}) {
            model_[side + 2] = *words ? pane(side + 2)->utf8Text().toByteArray()
                                      : missingLines(model_[side], model_[1 - side]);
        }
    }

    void display()
    {
        QRadioButton *option = chance(50) ? window_.highlightOption : window_.differencesOnlyOption;
        record(u"click "_s + option->objectName());
        option->click();
    }

    void method()
    {
        method(chance(50) ? window_.standardMethodOption : window_.wordProcessorMethodOption);
    }
    void method(QRadioButton *option)
    {
        record(u"click "_s + option->objectName());
        option->click();
    }

    // Saves a side to a new or existing file, or to a path that cannot take one.
    void save()
    {
        const int side = bounded(2);
        const QStringList targets{u"saved-%1.txt"_s.arg(bounded(6)),
                                  u"file-%1.txt"_s.arg(bounded(24)),
                                  u"missing/saved.txt"_s,
                                  u"sub"_s,
                                  u"file-0.txt/saved.txt"_s,
                                  QString()};
        const int kind = chance(70) ? bounded(2) : 2 + bounded(4);
        const QString path = targets[kind].isEmpty() ? QString() : folder_.filePath(targets[kind]);
        const bool exists = QFileInfo::exists(path);
        const bool yes = chance(75);
        record(u"save #%1 to %2%3"_s.arg(side + 1).arg(
            path.isEmpty() ? u"nothing (cancel)"_s : targets[kind],
            exists ? (yes ? u", overwriting"_s : u", not overwriting"_s) : QString()));
        const QByteArray before = path.isEmpty() ? QByteArray() : readFile(path);
        // The pane as it is: a running comparison may have emptied a result pane.
        const QByteArray expected = pane(shownPane(side))->utf8Text().toByteArray() + "\r\n";
        env_.dialog.answers.enqueue(path);
        if (exists)
            env_.messages.answers.enqueue(yes);
        (side ? window_.saveButton2 : window_.saveButton1)->click();

        const bool writable = kind < 2;
        QStringList messages;
        if (exists)
            messages.append(u"ask"_s);
        if (!path.isEmpty() && (yes || !exists) && !writable)
            messages.append(u"warn"_s);
        checkMessages(messages, u"the save"_s);
        if (path.isEmpty())
            return;
        const bool written = writable && (yes || !exists);
        if (const QByteArray now = readFile(path); now != (written ? expected : before))
            check(false, u"%1 holds %2 instead of %3"_s.arg(path, visible(now),
                                                            visible(written ? expected : before)));
        if (written && !saved_.contains(path))
            saved_.append(path);
    }

    // Minimises, restores or resizes the window, which keeps its size.
    void reshape()
    {
        const int how = bounded(3);
        record(QStringList{u"minimise"_s, u"restore"_s, u"resize"_s}[how]);
        if (how == 0)
            window_.showMinimized();
        else if (how == 1)
            window_.showNormal();
        else
            window_.resize(100 + bounded(1000), 100 + bounded(800));
        QCoreApplication::processEvents();
    }

    // An action taken while a comparison yields with input: at its first yield, before it
    // starts, or, in a line comparison that takes long enough, at a yield while it runs, where
    // the action must leave the wait pointer to it. The comparison lists each side's lines as
    // they were when it read them, before or after the action.
    void duringARun()
    {
        if (!standardMethod())
            method(window_.standardMethodOption);
        const bool words = chance(50);
        // Thousands of lines, so that the line comparison yields while it runs.
        waitForStart_ = !words && chance(4);
        if (waitForStart_)
            loadWith(bounded(2), false, manyLines);
        using Action = void (Soak::*)();
        const QList<Action> nested{&Soak::load,  &Soak::drop,    &Soak::type,
                                   &Soak::paste, &Soak::display, &Soak::method,
                                   &Soak::save,  &Soak::reshape, &Soak::startAgain};
        nested_ = pick(nested);
        record(u"compare %1, then act %2"_s.arg(words ? u"words"_s : u"lines"_s,
                                                waitForStart_ ? u"while it runs, if it yields"_s
                                                              : u"at its first yield"_s));
        sourcesBefore_ = {model_[0], model_[1]};
        nestedRan_ = false;
        nestedTimer_.start();
        (words ? window_.compareWordsButton : window_.compareLinesButton)->click();
        nestedTimer_.stop();
        if (words) {
            expectListings(true);
        } else {
            for (int i : {0, 1})
                checkPane(i, "after a comparison");
            for (int side : {0, 1}) {
                const QByteArray listing = pane(side + 2)->utf8Text().toByteArray();
                if (listing != missingLines(model_[side], model_[1 - side]) &&
                    listing != missingLines(sourcesBefore_[side], sourcesBefore_[1 - side]))
                    check(false,
                          u"the listing of side %1 is %2"_s.arg(side + 1).arg(visible(listing)));
                model_[side + 2] = listing;
            }
        }
        // A run that did not yield while it ran: the action comes after it, so that a replay
        // draws the same random numbers however fast the machine is. Start clicks then are no
        // longer clicks during a run.
        if (!nestedRan_ && nested_ != &Soak::startAgain)
            (this->*nested_)();
    }

    void actDuringARun()
    {
        const PointerCode pointer = window_.mousePointer();
        if (waitForStart_ && pointer != PointerCode::Wait) {
            nestedTimer_.start();
            return;
        }
        nestedRan_ = true;
        depth_ = 1;
        running_ = pointer == PointerCode::Wait;
        actedWhileRunning_ += int(running_);
        (this->*nested_)();
        depth_ = 0;
        running_ = false;
        check(window_.mousePointer() == pointer,
              u"the action changed the pointer of the comparison around it"_s);
    }

    // A start button clicked while a comparison runs does nothing.
    void startAgain()
    {
        record(u"click both start buttons"_s);
        QByteArray before[4];
        for (int i = 0; i < 4; ++i)
            before[i] = pane(i)->utf8Text().toByteArray();
        window_.compareLinesButton->click();
        window_.compareWordsButton->click();
        for (int i = 0; i < 4; ++i)
            check(pane(i)->utf8Text() == before[i], u"a start click changed a pane"_s);
    }

    // The last action, number actions + 1.
    void closeDuringARun()
    {
        if (!standardMethod())
            method(window_.standardMethodOption);
        record(u"close the window during a line comparison"_s);
        QTimer::singleShot(0, &window_, &QWidget::close);
        window_.compareLinesButton->click();
        check(window_.isClosed(), u"the window did not close"_s);
        for (int i = 0; i < 4; ++i)
            checkPane(i, "after closing during a comparison");
        check(window_.mousePointer() == PointerCode::Default, u"the pointer is not the default"_s);
    }

    const quint32 seed_;
    const int actions_;
    QRandomGenerator random_;
    // In memory where there is a file system there, so that the thousands of writes and the
    // saves' syncs to disk cost little.
    QTemporaryDir folder_{QDir(u"/dev/shm"_s).exists()
                              ? u"/dev/shm/parvenex-soak-XXXXXX"_s
                              : QDir::tempPath() + u"/parvenex-soak-XXXXXX"_s};
    TestServices env_;
    MainWindow window_{env_.services};
    const std::array<TextPane *, 4> panes_{window_.textPane1, window_.textPane2,
                                           window_.resultPane1, window_.resultPane2};
    QByteArray model_[4];
    QStringList saved_;
    QStringList history_;
    QString failure_;
    int number_ = 0;
    int depth_ = 0;
    // What duringARun() does in the comparison's yield.
    QTimer nestedTimer_;
    void (Soak::*nested_)() = nullptr;
    bool waitForStart_ = false;
    bool nestedRan_ = false;
    bool running_ = false; // the action in the yield comes while the comparison runs
    int actedWhileRunning_ = 0;
    std::array<QByteArray, 2> sourcesBefore_;
};

#ifdef __SANITIZE_ADDRESS__
void reportDeath()
{
    if (running)
        fprintf(stderr, "%s\n", qPrintable(running->report(u"a sanitizer report"_s)));
}
#endif

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomActionsKeepTheInvariants()
    {
#ifdef __SANITIZE_ADDRESS__
        __sanitizer_set_death_callback(reportDeath);
#endif
        const auto seed = quint32(fromEnvironment("PARVENEX_SOAK_SEED", defaultSeed));
        const int actions = fromEnvironment("PARVENEX_SOAK_ACTIONS", defaultActions);
        QElapsedTimer clock;
        clock.start();
        Soak soak(seed, actions);
        const QString failure = soak.run();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        qInfo("%d actions from seed %u in %lld ms, %d of them while a comparison ran", actions,
              seed, clock.elapsed(), soak.actedWhileRunning());
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
