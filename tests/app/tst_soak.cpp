// A long seeded-random run of user actions on the real window, checking after every action what
// must always hold. PARVENEX_SOAK_SEED and PARVENEX_SOAK_ACTIONS replay or lengthen a run; a
// failure prints the seed, the action and the actions before it.

#include "TempFiles.h"
#include "TestServices.h"
#include "app/MainWindow.h"
#include "pane/TextPane.h"

#include <QtTest>
#include <QtWidgets>

#include <array>
#include <cstdio>
#include <optional>
#include <vector>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/common_interface_defs.h>
#endif

using namespace Qt::StringLiterals;

namespace {

int fromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// Every line break as CR LF, as a pane holds a text.
QByteArray withCrLf(const QByteArray &text)
{
    static const QRegularExpression lineBreak(u"\r\n|\r|\n"_s);
    return QString::fromUtf8(text).replace(lineBreak, u"\r\n"_s).toUtf8();
}

// The pane text of a file's bytes by the README's rules, as UTF-8 with its own line breaks;
// nothing for a binary file.
std::optional<QByteArray> decoded(const QByteArray &bytes)
{
    static const std::pair<QByteArray, QStringConverter::Encoding> marks[] = {
        {"\xef\xbb\xbf", QStringConverter::Utf8},
        {"\xff\xfe", QStringConverter::Utf16LE},
        {"\xfe\xff", QStringConverter::Utf16BE}};
    QByteArray text =
        bytes.isValidUtf8() ? bytes : QString(QStringDecoder("windows-1252")(bytes)).toUtf8();
    for (const auto &[mark, encoding] : marks) {
        if (bytes.startsWith(mark)) {
            QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
            text = QString(decoder(bytes.sliced(mark.size()))).toUtf8();
        }
    }
    return text.contains('\0') ? std::nullopt : std::optional(text);
}

// The lines of text #1 that text #2 lacks, each followed by CR LF: the line comparison's listing.
// Both texts break their lines with CR LF only.
QByteArray missingLines(const QByteArray &source, const QByteArray &other)
{
    const auto lines = [](QByteArray text) {
        QList<QByteArray> result = text.replace("\r\n", "\n").split('\n');
        if (result.last().isEmpty())
            result.removeLast();
        return result;
    };
    const QList<QByteArray> otherLines = lines(other);
    const QSet<QByteArray> present(otherLines.begin(), otherLines.end());
    QByteArray listing;
    for (const QByteArray &line : lines(source))
        if (!present.contains(line))
            listing += line + "\r\n";
    return listing;
}

class Soak;
const Soak *running = nullptr;

// The window under a run of random actions, with a model of what each pane must hold: the
// source pane and the result pane of each side, in that order.
class Soak
{
public:
    Soak(quint32 seed, int actions) : seed_(seed), actions_(actions), random_(seed)
    {
        running = this;
        qputenv("TMPDIR", QFile::encodeName(scratch()));
        for (const QString &folder : {u"sub"_s, u"tmp"_s})
            QDir(folder_.path()).mkpath(folder);
        window_.show();
        nestedTimer_.setSingleShot(true);
        QObject::connect(&nestedTimer_, &QTimer::timeout, [this] { actDuringARun(); });
    }
    ~Soak() { running = nullptr; }

    // Runs the actions, then closes the window during a comparison. Returns the first failure
    // with what led to it, or an empty string.
    QString run()
    {
        int total = 0;
        for (const Action &action : table())
            total += action.weight;
        for (number_ = 1; number_ <= actions_; ++number_) {
            // A big text gives way to a small one at once: most actions must stay quick.
            if (const int side = bigSource(); side >= 0) {
                loadWith(side, false, utf8);
            } else {
                int pick = bounded(total);
                for (const Action &action : table()) {
                    if ((pick -= action.weight) < 0) {
                        (this->*action.act)();
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
    // Every kind of action, how often it comes, and whether it also comes during a comparison's
    // yield; the last one comes there only.
    struct Action
    {
        int weight;
        bool nested;
        void (Soak::*act)();
    };
    static const std::vector<Action> &table()
    {
        static const std::vector<Action> actions{
            {14, true, &Soak::load},          {4, true, &Soak::drop},
            {10, true, &Soak::type},          {6, true, &Soak::paste},
            {10, false, &Soak::compareLines}, {8, false, &Soak::compareWords},
            {8, true, &Soak::display},        {5, true, &Soak::method},
            {12, true, &Soak::save},          {4, true, &Soak::reshape},
            {10, false, &Soak::duringARun},   {0, true, &Soak::startAgain}};
        return actions;
    }

    // The pane of the side that its save button writes and that the user types into.
    int shownPane(int side) const { return panes_[side]->isHidden() ? side + 2 : side; }
    bool highlighting() const { return window_.highlightOption->isChecked(); }
    bool standardMethod() const { return window_.standardMethodOption->isChecked(); }
    int bigSource() const
    {
        for (int side : {0, 1})
            if (model_[side].size() > 64 * 1024)
                return side;
        return -1;
    }
    QString scratch() const { return folder_.filePath(u"tmp"_s); }

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
        if (history_.size() > 12)
            history_.removeFirst();
    }
    void check(bool ok, const QString &what)
    {
        if (!ok && failure_.isEmpty())
            failure_ = what;
    }
    void checkPane(int i, const char *when)
    {
        const QByteArrayView text = panes_[i]->utf8Text();
        if (text != model_[i])
            check(false, u"pane %1 %2: %3 instead of %4"_s.arg(i + 1).arg(
                             QLatin1String(when), visible(text), visible(model_[i])));
    }
    static QString visible(QByteArrayView text)
    {
        QString shown = QString::fromUtf8(text.first(qMin<qsizetype>(text.size(), 120)));
        shown.replace(u'\r', u"\\r"_s).replace(u'\n', u"\\n"_s);
        return u'"' + shown +
               (text.size() > 120 ? u"...\" (%1 bytes)"_s.arg(text.size()) : u"\""_s);
    }

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
        for (int i = 0; i < 4; ++i)
            check(panes_[i]->isHidden() == (highlighting() == (i >= 2)),
                  u"the shown panes differ from the display mode"_s);
        check(panes_[2]->geometry() == panes_[0]->geometry() &&
                  panes_[3]->geometry() == panes_[1]->geometry() &&
                  panes_[0]->width() == panes_[1]->width(),
              u"the panes are out of place"_s);
        check(env_.dialog.answers.isEmpty() && env_.messages.answers.isEmpty(),
              u"a dialog or question that was expected did not come"_s);
        env_.messages.shown.clear();
        env_.settings.writes.clear();
        env_.dialog.shown.clear();
        env_.automation.log.clear();
    }

    // The message boxes shown since the last check, as "inform", "ask" and "warn".
    void checkMessages(const QStringList &expected, const QString &action)
    {
        QStringList kinds;
        for (const FakeMessageBoxes::Shown &message : env_.messages.shown)
            kinds.append(QStringList{u"inform"_s, u"ask"_s, u"warn"_s}[int(message.kind)]);
        if (kinds != expected)
            check(false, u"%1 showed the messages \"%2\" instead of \"%3\": %4"_s.arg(
                             action, kinds.join(u' '), expected.join(u' '),
                             env_.messages.texts().join(u" | ")));
        env_.messages.shown.clear();
    }

    // The kinds of file a load reads, by their places in kinds(): plain UTF-8 comes three times
    // as often as each other kind, the big ones, the last two, rarely.
    static constexpr int utf8 = 0, longLine = 14, manyLines = 15, anyKind = -1;
    static const QStringList &kinds()
    {
        static const QStringList names =
            u"utf-8|utf-8|utf-8|utf-8 with bom|utf-16le with bom|utf-16be with bom|utf-16le|"
            u"windows-1252|invalid utf-8|binary|empty|missing|folder|saved|long line|many lines"_s
                .split(u'|');
        return names;
    }

    // Lines of random words and breaks; Windows-1252 has the first five words only.
    QString randomText(bool ansi)
    {
        static const QStringList words{u"alpha"_s,         u"beta"_s,   u" "_s,
                                       u"\u00e9t\u00e9"_s, u"\u20ac"_s, u"\u4e2d\u6587"_s,
                                       u"\U0001F600"_s,    u"x"_s};
        static const QStringList breaks{u"\r\n"_s, u"\n"_s, u"\r"_s};
        QString result;
        for (int line = bounded(8); line >= 0; --line) {
            for (int word = bounded(6); word > 0; --word)
                result += ansi ? words[bounded(5)] : pick(words);
            if (line > 0 || chance(50))
                result += pick(breaks);
        }
        return result;
    }

    // What a new file of the kind holds: invalid UTF-8 without a NUL, binary bytes with any;
    // the kinds not named here are empty.
    QByteArray contentOf(const QString &what)
    {
        const auto encoded = [this](QStringEncoder encoder, bool ansi = false) {
            return QByteArray(encoder(randomText(ansi)));
        };
        if (what == u"utf-8"_s)
            return randomText(false).toUtf8();
        if (what == u"utf-8 with bom"_s)
            return "\xef\xbb\xbf" + randomText(false).toUtf8();
        if (what == u"utf-16le with bom"_s)
            return "\xff\xfe" + encoded(QStringEncoder(QStringEncoder::Utf16LE));
        if (what == u"utf-16be with bom"_s)
            return "\xfe\xff" + encoded(QStringEncoder(QStringEncoder::Utf16BE));
        if (what == u"utf-16le"_s)
            return encoded(QStringEncoder(QStringEncoder::Utf16LE));
        if (what == u"windows-1252"_s)
            return encoded(QStringEncoder("windows-1252"), true);
        QByteArray bytes;
        if (what == u"invalid utf-8"_s || what == u"binary"_s) {
            for (int n = bounded(200); n > 0; --n)
                bytes += char(what == u"binary"_s ? bounded(256) : 1 + bounded(255));
        }
        // A line past the quarter megabyte that a pane shows of it, in long words so that the
        // word comparison stays quick.
        if (what == u"long line"_s)
            bytes = QByteArray(QByteArray(99, 'w') + ' ').repeated(2650 + bounded(50));
        if (what == u"many lines"_s) {
            for (int line = 0, count = 40000 + bounded(10000); line < count; ++line)
                bytes += "line " + QByteArray::number(bounded(line + 1)) + "\r\n";
        }
        return bytes;
    }

    // A file of a random kind, or of the given one, written anew: its path and what it is.
    std::pair<QString, QString> randomFile(int kind)
    {
        // The big ones only at the top level, where the next action replaces them.
        if (kind == anyKind)
            kind = depth_ == 0 && bounded(400) == 0 ? longLine + bounded(2) : bounded(longLine);
        const QString what = kinds()[kind];
        if (what == u"missing"_s)
            return {folder_.filePath(u"gone-%1.txt"_s.arg(bounded(4))), what};
        if (what == u"folder"_s)
            return {folder_.filePath(u"sub"_s), what};
        if (what == u"saved"_s && !saved_.isEmpty()) {
            const QString saved = pick(saved_);
            return {saved, what + u" (%1 B)"_s.arg(QFileInfo(saved).size())};
        }
        const QByteArray content = contentOf(what);
        const QString path = folder_.filePath(u"file-%1.txt"_s.arg(bounded(24)));
        check(writeFile(path, content), u"could not write "_s + path);
        return {path, what + u" (%1 B)"_s.arg(content.size())};
    }

    // One to three files of random kinds, dropped or as the dialog returns them, or a cancel.
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
            dropOn(panes_[side], paths);
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
        const QString path = randomFile(utf8).first;
        record(u"drop on result pane %1"_s.arg(side + 3));
        dropOn(panes_[side + 2], {path});
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

    void type() { enterText(false); }
    void paste() { enterText(true); }
    // Typed (Return starting a new line) or pasted at the end of a shown pane, any line breaks
    // becoming CR LF.
    void enterText(bool pasting)
    {
        static const QStringList typedPieces{u"a"_s,      u"Zz"_s,     u" "_s,  u"\u00e9"_s,
                                             u"\u20ac"_s, u"\u4e2d"_s, u"\n"_s, u"  word"_s};
        static const QStringList pastedPieces{u"text"_s, u"\r"_s,         u"\n"_s,
                                              u"\r\n"_s, u"\U0001F600"_s, u"\u00e9"_s,
                                              u"\t"_s,   u" "_s,          u"\ufffd"_s};
        QString text;
        for (int n = 1 + bounded(pasting ? 10 : 8); n > 0; --n)
            text += pick(pasting ? pastedPieces : typedPieces);
        const int i = shownPane(bounded(2));
        // A result pane that a running comparison fills may have been emptied already and will
        // be filled anew: what is typed there meanwhile is the user's, and beyond the model.
        if (i >= 2 && running_) {
            record(u"nothing typed into result pane %1 while a comparison runs"_s.arg(i + 1));
            return;
        }
        record(u"%1 pane %2: %3"_s.arg(pasting ? u"paste into"_s : u"type into"_s)
                   .arg(i + 1)
                   .arg(visible(text.toUtf8())));
        QTest::keyClick(panes_[i], Qt::Key_End, Qt::ControlModifier);
        if (pasting) {
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(panes_[i], Qt::Key_V, Qt::ControlModifier);
        } else {
            for (QChar c : text) {
                if (c == u'\n')
                    QTest::keyClick(panes_[i], Qt::Key_Return);
                else
                    QTest::sendKeyEvent(QTest::Click, panes_[i], Qt::Key_unknown, QString(c),
                                        Qt::NoModifier);
            }
        }
        model_[i] += withCrLf(text.toUtf8());
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
            checkMessages(handed && !failing.isEmpty() ? QStringList{u"warn"_s} : QStringList(),
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
        for (int side : {0, 1})
            model_[side + 2] = *words ? panes_[side + 2]->utf8Text().toByteArray()
                                      : missingLines(model_[side], model_[1 - side]);
    }

    void display() { click(chance(50) ? window_.highlightOption : window_.differencesOnlyOption); }
    void method()
    {
        click(chance(50) ? window_.standardMethodOption : window_.wordProcessorMethodOption);
    }
    void click(QRadioButton *option)
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
        const QByteArray expected = panes_[shownPane(side)]->utf8Text().toByteArray() + "\r\n";
        env_.dialog.answers.enqueue(path);
        if (exists)
            env_.messages.answers.enqueue(yes);
        (side ? window_.saveButton2 : window_.saveButton1)->click();

        const bool written = kind < 2 && (yes || !exists);
        QStringList messages;
        if (exists)
            messages.append(u"ask"_s);
        if (!path.isEmpty() && (yes || !exists) && kind >= 2)
            messages.append(u"warn"_s);
        checkMessages(messages, u"the save"_s);
        if (path.isEmpty())
            return;
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
            click(window_.standardMethodOption);
        const bool words = chance(50);
        // Thousands of lines, so that the line comparison yields while it runs.
        waitForStart_ = !words && chance(4);
        if (waitForStart_)
            loadWith(bounded(2), false, manyLines);
        QList<void (Soak::*)()> nested;
        for (const Action &action : table())
            if (action.nested)
                nested.append(action.act);
        nested_ = pick(nested);
        record(u"compare %1, then act %2"_s.arg(words ? u"words"_s : u"lines"_s,
                                                waitForStart_ ? u"while it runs, if it yields"_s
                                                              : u"at its first yield"_s));
        const QByteArray before[] = {model_[0], model_[1]};
        nestedRan_ = false;
        nestedTimer_.start();
        (words ? window_.compareWordsButton : window_.compareLinesButton)->click();
        nestedTimer_.stop();
        expectListings(words ? std::optional(true) : std::nullopt);
        if (!words) {
            for (int side : {0, 1}) {
                const QByteArray listing = panes_[side + 2]->utf8Text().toByteArray();
                check(listing == missingLines(model_[side], model_[1 - side]) ||
                          listing == missingLines(before[side], before[1 - side]),
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
            before[i] = panes_[i]->utf8Text().toByteArray();
        window_.compareLinesButton->click();
        window_.compareWordsButton->click();
        for (int i = 0; i < 4; ++i)
            check(panes_[i]->utf8Text() == before[i], u"a start click changed a pane"_s);
    }

    // The last action, number actions + 1.
    void closeDuringARun()
    {
        if (!standardMethod())
            click(window_.standardMethodOption);
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
        const auto seed = quint32(fromEnvironment("PARVENEX_SOAK_SEED", 1));
        const int actions = fromEnvironment("PARVENEX_SOAK_ACTIONS", 10000);
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
