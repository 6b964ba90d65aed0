// A long seeded-random run of user actions on the real window, checking after every action what
// must always hold. PARVENEX_SOAK_SEED and PARVENEX_SOAK_ACTIONS replay or lengthen a run; a
// failure names the seed and the action, so that a replay can stop there.

#include "ComparisonReference.h"
#include "TempFiles.h"
#include "TestServices.h"
#include "app/MainWindow.h"
#include "pane/TextPane.h"

#include <QtTest>
#include <QtWidgets>

#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype everywhere = std::numeric_limits<qsizetype>::max();

// Every line break as CR LF, as a pane holds a text.
QByteArray withCrLf(const QByteArray &text)
{
    return QByteArray(text).replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
}

// Windows-1252, which Qt converts by name where it has ICU (Linux) and as the system's code
// page on Windows (Wine's, as the tests run there).
#ifdef Q_OS_WIN
const char *const windows1252 = "Locale";
#else
const char *const windows1252 = "windows-1252";
#endif

// The pane text of a file's bytes by the README's rules, as UTF-8 with its own line breaks;
// nothing for a binary file.
std::optional<QByteArray> decoded(const QByteArray &bytes)
{
    const auto mark = QStringConverter::encodingForData(bytes);
    const QByteArray text =
        mark ? QString(QStringDecoder(*mark, QStringConverter::Flag::Stateless)(bytes)).toUtf8()
        : bytes.isValidUtf8() ? bytes
                              : QString(QStringDecoder(windows1252)(bytes)).toUtf8();
    return text.contains('\0') ? std::nullopt : std::optional(text);
}

// What a comparison of one CR LF text against the other lists and colours, on the bytes: the
// references see one character per byte, and UTF-8 puts no line break or space inside another
// character.
Decoded comparison(bool words, const QByteArray &text, const QByteArray &other)
{
    const QString text1 = QString::fromLatin1(text), text2 = QString::fromLatin1(other);
    return words ? referencePass(text1, text2) : referenceLinesOf(text1, text2, false);
}

// The bytes in any of the ranges, as sorted runs that neither overlap nor touch (the marks' own
// test checks that they join so).
QList<TextRange> joined(const QList<TextRange> &ranges)
{
    MarkedRanges runs;
    for (const TextRange &range : ranges)
        runs.mark(range.start, range.start + range.length);
    return runs.within(0, everywhere);
}

// The window under a run of random actions, with a model of what each pane must hold: the
// source pane and the result pane of each side, in that order.
class Soak
{
public:
    Soak(quint32 seed, int actions) : seed_(seed), actions_(actions), random_(seed)
    {
        useTempFolder(folder_.path()); // the word processor's scratch files go there too
        QDir(folder_.path()).mkpath(u"sub"_s);
        window_.show();
        nestedTimer_.setSingleShot(true);
        QObject::connect(&nestedTimer_, &QTimer::timeout, [this] { actDuringARun(); });
    }

    // Runs the actions. Returns the first failure, or an empty string.
    QString run()
    {
        for (number_ = 1; number_ <= actions_ && failure_.isEmpty(); ++number_) {
            // A big text gives way to a small one at once: most actions must stay quick.
            if (model_[0].size() > bigText || model_[1].size() > bigText)
                loadWith(model_[0].size() > bigText ? 0 : 1, utf8);
            else
                (this->*pickAction())();
            checkInvariants();
        }
        return failure_;
    }

private:
    using Act = void (Soak::*)();
    static constexpr qsizetype bigText = 64 * 1024;

    // The pane of the side that its save button writes and that the user types into.
    int shownPane(int side) const { return panes_[side]->isHidden() ? side + 2 : side; }
    bool standardMethod() const { return window_.standardMethodOption->isChecked(); }
    bool highlighting() const { return window_.highlightOption->isChecked(); }

    int bounded(int n) { return int(random_.bounded(quint32(n))); }
    bool chance(int percent) { return bounded(100) < percent; }
    const auto &pick(const auto &items) { return items[bounded(int(items.size()))]; }

    // An action drawn at the top level, each as often as it stands here.
    Act pickAction()
    {
        static const std::array actions{&Soak::load,      &Soak::load,   &Soak::enterText,
                                        &Soak::enterText, &Soak::option, &Soak::compare,
                                        &Soak::compare,   &Soak::save,   &Soak::duringARun};
        return pick(actions);
    }

    void check(bool ok, const QString &what)
    {
        if (!ok && failure_.isEmpty())
            failure_ = u"seed %1, action %2%3: %4"_s.arg(seed_).arg(number_).arg(
                inYield_ ? u" (in a comparison's yield)"_s : QString(), what);
    }

    // What holds after every action that has ended at the top level.
    void checkInvariants()
    {
        for (int i = 0; i < 4; ++i) {
            check(panes_[i]->utf8Text() == model_[i], u"pane %1 holds another text"_s.arg(i + 1));
            // Red kept past the end of the text would colour what is typed there later.
            check(panes_[i]->markedRanges().within(0, everywhere) == red_[i],
                  u"pane %1 is red elsewhere than the comparisons made it"_s.arg(i + 1));
        }
        check(window_.mousePointer() == PointerCode::Default, u"the pointer is not the default"_s);
        const FakeSettingsStore &settings = env_.settings;
        check(settings.stored(u"Comparison"_s) == (standardMethod() ? u"1"_s : u"2"_s) &&
                  settings.stored(u"Option1"_s) == (highlighting() ? u"True"_s : u"False"_s) &&
                  settings.stored(u"Option2"_s) == (highlighting() ? u"False"_s : u"True"_s),
              u"the stored settings differ from the selected options"_s);
        check(env_.dialog.answers.isEmpty() && env_.messages.answers.isEmpty(),
              u"a dialog or question that was expected did not come"_s);
        // Which messages an action shows is the commands' own tests' to check.
        env_.messages.shown.clear();
    }

    // A pane's text from code, all black.
    void setModel(int i, const QByteArray &text)
    {
        model_[i] = text;
        red_[i].clear();
    }
    // A finished comparison of the source texts: the line comparison adds its red, the word
    // comparison's replaces all red; both list anew.
    void compared(bool words)
    {
        const Decoded found[] = {comparison(words, model_[0], model_[1]),
                                 comparison(words, model_[1], model_[0])};
        for (int side : {0, 1}) {
            red_[side] = joined(found[side].ranges + (words ? QList<TextRange>() : red_[side]));
            setModel(side + 2, found[side].listing.toLatin1());
        }
    }

    // The kinds of file a load reads. UTF-8 comes twice as often as each other kind, the big one,
    // the last, rarely.
    static constexpr int utf8 = 0, manyLines = 7, anyKind = -1;
    static inline const QStringList kinds =
        u"UTF-8|UTF-8|invalid UTF-8|binary|empty|missing|saved|many lines"_s.split(u'|');

    // Lines of random words and breaks, some of them beyond Windows-1252.
    QString randomText()
    {
        static const QStringList words =
            u"alpha|beta| |\u00e9t\u00e9|\u20ac|\u4e2d\u6587|\U0001F600|x"_s.split(u'|');
        QString result;
        for (int line = bounded(8); line >= 0; --line) {
            for (int word = bounded(6); word > 0; --word)
                result += pick(words);
            if (line > 0 || chance(50))
                result += pick(QStringList{u"\r\n"_s, u"\n"_s, u"\r"_s});
        }
        return result;
    }

    // A file of a random kind, or of the given one; one that a load reads is written anew,
    // "saved" before the first save as an empty file.
    QString randomFile(int kind)
    {
        if (kind == anyKind)
            kind = bounded(800) == 0 ? manyLines : bounded(manyLines);
        const QString what = kinds[kind];
        if (what == u"missing"_s)
            return folder_.filePath(u"gone-%1.txt"_s.arg(bounded(4)));
        if (what == u"saved"_s && !saved_.isEmpty())
            return pick(saved_);
        QByteArray bytes;
        if (what == u"UTF-8"_s) {
            bytes = randomText().toUtf8();
        } else if (what == u"invalid UTF-8"_s || what == u"binary"_s) {
            // Invalid UTF-8 without a NUL, binary bytes with any.
            for (int n = bounded(200); n > 0; --n)
                bytes += char(what == u"binary"_s ? bounded(256) : 1 + bounded(255));
        } else if (kind == manyLines) {
            for (int line = 0, count = 40000 + bounded(10000); line < count; ++line)
                bytes += "line " + QByteArray::number(bounded(line + 1)) + "\r\n";
        }
        const QString path = folder_.filePath(u"file-%1.txt"_s.arg(bounded(24)));
        check(writeFile(path, bytes), u"could not write "_s + path);
        return path;
    }

    // A file of a random kind, or of the given one, as the dialog returns it, or a cancel.
    void loadWith(int side, int kind = anyKind)
    {
        const bool cancel = kind == anyKind && chance(5);
        const QString path = cancel ? QString() : randomFile(kind);
        const auto content = QFileInfo(path).isFile() ? decoded(readFile(path)) : std::nullopt;
        env_.dialog.answers.enqueue(path);
        (side ? window_.loadButton2 : window_.loadButton1)->click();
        if (!cancel)
            setModel(side, (content ? withCrLf(*content) : QByteArray()) + "\r\n");
    }
    void load() { loadWith(bounded(2)); }

    // Pasted at the end of a shown pane, any line breaks becoming CR LF.
    void enterText()
    {
        static const QStringList pieces =
            u"text|\r|\n|\r\n|\U0001F600|\u00e9|\t| |\ufffd"_s.split(u'|');
        QString text;
        for (int n = 1 + bounded(10); n > 0; --n)
            text += pick(pieces);
        const int i = shownPane(bounded(2));
        QTest::keyClick(panes_[i], Qt::Key_End, Qt::ControlModifier);
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(panes_[i], Qt::Key_V, Qt::ControlModifier);
        // What is pasted takes the colour of the text before it.
        const QByteArray pasted = withCrLf(text.toUtf8());
        if (!red_[i].isEmpty() && red_[i].last().start + red_[i].last().length == model_[i].size())
            red_[i].last().length += pasted.size();
        model_[i] += pasted;
    }

    // Either comparison by its button; the word processor leaves the panes alone, and the lines
    // button does nothing with it.
    void compare()
    {
        const bool words = chance(45);
        (words ? window_.compareWordsButton : window_.compareLinesButton)->click();
        if (standardMethod())
            compared(words);
    }

    // Either display mode or method.
    void option()
    {
        pick(QList{window_.highlightOption, window_.differencesOnlyOption,
                   window_.standardMethodOption, window_.wordProcessorMethodOption})
            ->click();
    }

    // Saves a side to a new or existing file, or to a path that cannot take one, or cancels.
    void save()
    {
        const int side = bounded(2);
        static const QStringList targets{u"saved-%1.txt"_s, u"file-%1.txt"_s,
                                         u"missing/saved.txt"_s, u"sub"_s, QString()};
        const int kind = chance(70) ? bounded(2) : 2 + bounded(3);
        const QString target = kind < 2 ? targets[kind].arg(bounded(kind ? 24 : 6)) : targets[kind];
        const QString path = target.isEmpty() ? QString() : folder_.filePath(target);
        const bool exists = QFileInfo::exists(path), yes = chance(75);
        const QByteArray before = readFile(path);
        // The pane as it is: a running comparison may have emptied a result pane.
        const QByteArray shown = panes_[shownPane(side)]->utf8Text().toByteArray() + "\r\n";
        env_.dialog.answers.enqueue(path);
        if (exists)
            env_.messages.answers.enqueue(yes);
        (side ? window_.saveButton2 : window_.saveButton1)->click();

        const bool written = kind < 2 && (yes || !exists);
        // Saved in the system's code page or UTF-8, whichever gives the text back when loaded.
        const QByteArray now = readFile(path);
        check(written ? decoded(now) == shown : now == before,
              path + (written ? u" differs from the pane"_s : u" changed"_s));
        if (written && !saved_.contains(path))
            saved_.append(path);
    }

    // An action taken while a comparison yields with input: at its first yield, before it
    // starts, or, in a line comparison that takes long enough, at a yield while it runs, where
    // the action must leave the wait pointer to it. None of these actions changes a source text.
    void duringARun()
    {
        if (!standardMethod())
            window_.standardMethodOption->click();
        const bool words = chance(50);
        // Thousands of lines, so that the line comparison yields while it runs.
        waitForStart_ = !words && chance(4);
        if (waitForStart_)
            loadWith(bounded(2), manyLines);
        nested_ = pick(std::array{&Soak::option, &Soak::save, &Soak::startAgain});
        nestedRan_ = false;
        nestedTimer_.start();
        (words ? window_.compareWordsButton : window_.compareLinesButton)->click();
        nestedTimer_.stop();
        compared(words);
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
        nestedRan_ = inYield_ = true;
        (this->*nested_)();
        inYield_ = false;
        check(window_.mousePointer() == pointer,
              u"the action changed the pointer of the comparison around it"_s);
    }

    // A start button clicked while a comparison runs does nothing.
    void startAgain()
    {
        QByteArray before[4];
        for (int i = 0; i < 4; ++i)
            before[i] = panes_[i]->utf8Text().toByteArray();
        window_.compareLinesButton->click();
        window_.compareWordsButton->click();
        for (int i = 0; i < 4; ++i)
            check(panes_[i]->utf8Text() == before[i], u"a start click changed a pane"_s);
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
    QList<TextRange> red_[4]; // as joined() gives them
    QStringList saved_;
    QString failure_;
    int number_ = 0;
    // What duringARun() does in the comparison's yield.
    QTimer nestedTimer_;
    Act nested_ = nullptr;
    bool waitForStart_ = false;
    bool nestedRan_ = false;
    bool inYield_ = false;
};

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A sanitizer's report ends the run at once, without the last actions: the seed replays it.
    void randomActionsKeepTheInvariants()
    {
        const auto seed = quint32(qEnvironmentVariableIntValue("PARVENEX_SOAK_SEED"));
        const int asked = qEnvironmentVariableIntValue("PARVENEX_SOAK_ACTIONS");
        const QString failure = Soak(seed, asked > 0 ? asked : 10000).run();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
