#include "pane/TextPane.h"

#include "pane/PaneAccessible.h"
#include "pane/Twips.h"
#include "pane/Utf8Text.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

namespace {

constexpr auto utf16 = QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16;
const QColor marked{255, 0, 0};
const QColor unmarked{0, 0, 0};

// Wider lines are measured on a sample of this many bytes and scaled, so that setting a text
// with one huge line stays cheap; the scroll range still grows when a wider line is drawn.
constexpr qsizetype widthSampleBytes = 4096;
// Space left between the text and the pane's edges, as a plain text box leaves.
constexpr int textPadding = 4;
// Bytes of a line that are shown; the rest of a longer line is in a style that is not drawn,
// which Scintilla does not lay out.
constexpr qsizetype shownLineBytes = 256 * 1024;
constexpr int hiddenStyle = 1;

// Keys as a plain text box has them: no line or case commands that a stray key would run, no
// rectangular selection, and Home goes to the start of the line, not to its first non-blank.
struct KeyBinding
{
    QsciCommand::Command command;
    int key;
};
constexpr KeyBinding plainKeys[] = {
    {QsciCommand::LineDelete, 0},
    {QsciCommand::LineCut, 0},
    {QsciCommand::LineCopy, 0},
    {QsciCommand::LineTranspose, 0},
    {QsciCommand::SelectionDuplicate, 0},
    {QsciCommand::SelectionLowerCase, 0},
    {QsciCommand::SelectionUpperCase, 0},
    {QsciCommand::LineDownRectExtend, 0},
    {QsciCommand::LineUpRectExtend, 0},
    {QsciCommand::CharLeftRectExtend, 0},
    {QsciCommand::CharRightRectExtend, 0},
    {QsciCommand::VCHomeRectExtend, 0},
    {QsciCommand::LineEndRectExtend, 0},
    {QsciCommand::PageUpRectExtend, 0},
    {QsciCommand::PageDownRectExtend, 0},
    {QsciCommand::VCHome, 0},
    {QsciCommand::VCHomeExtend, 0},
    {QsciCommand::Home, Qt::Key_Home},
    {QsciCommand::HomeExtend, (Qt::SHIFT | Qt::Key_Home).toCombined()},
};

bool isPlacement(float value)
{
    return std::isfinite(value) && std::fabs(value) <= float(QWIDGETSIZE_MAX);
}

bool isExtent(float value)
{
    return isPlacement(value) && value >= 0;
}

} // namespace

// Maps UTF-16 indexes to byte positions and back through Scintilla's UTF-16 line index: a
// search for the line, then a count along it, which an ASCII line does not need. The index is
// made when an index is first asked for, not kept up while a text is set: keeping it up made
// filling a pane several times slower, and the comparisons and loads never ask for indexes.
class TextPane::Positions
{
public:
    explicit Positions(const TextPane &pane) : pane_(pane), text_(pane.utf8Text())
    {
        pane.allocateLineIndex();
    }

    qsizetype byteOf(qsizetype index)
    {
        if (index <= 0)
            return 0;
        if (index >= pane_.send(SCI_INDEXPOSITIONFROMLINE, pane_.send(SCI_GETLINECOUNT), utf16))
            return text_.size();
        const Line line = lineAt(pane_.send(SCI_LINEFROMINDEXPOSITION, index, utf16));
        qsizetype position = line.start + (index - line.index);
        if (!line.ascii()) {
            // Whole blocks first, then one character at a time; a position inside a
            // character stands for the position after it.
            position = line.start;
            qsizetype units = line.index;
            for (qsizetype block = 4096; block >= 16; block /= 16) {
                while (position + block <= line.end) {
                    const qsizetype blockUnits =
                        Utf8Text::utf16Units(text_.sliced(position, block));
                    if (units + blockUnits >= index)
                        break;
                    units += blockUnits;
                    position += block;
                }
            }
            position = characterStart(position);
            while (units < index && position < line.end) {
                units += Utf8Text::codeUnits(text_[position]);
                position = characterStart(position + 1);
            }
        }
        // Between the CR and the LF of a line break: after it.
        const bool betweenCrLf = position > 0 && position < text_.size() &&
                                 text_[position - 1] == '\r' && text_[position] == '\n';
        return position + betweenCrLf;
    }

    qsizetype indexOf(qsizetype position)
    {
        position = std::clamp<qsizetype>(position, 0, text_.size());
        const Line line = lineAt(pane_.send(SCI_LINEFROMPOSITION, position));
        if (line.ascii())
            return line.index + (position - line.start);
        // Up to the end of the character that position falls in.
        const qsizetype end = position < text_.size() ? characterStart(position) : position;
        return line.index + Utf8Text::utf16Units(text_.sliced(line.start, end - line.start));
    }

private:
    struct Line
    {
        qsizetype start;
        qsizetype end;
        qsizetype index;
        qsizetype nextIndex;

        // Every non-ASCII character takes more bytes than UTF-16 code units.
        bool ascii() const { return end - start == nextIndex - index; }
    };

    Line lineAt(qsizetype line) const
    {
        return {pane_.send(SCI_POSITIONFROMLINE, line), pane_.send(SCI_POSITIONFROMLINE, line + 1),
                pane_.send(SCI_INDEXPOSITIONFROMLINE, line, utf16),
                pane_.send(SCI_INDEXPOSITIONFROMLINE, line + 1, utf16)};
    }

    // position, or the start of the next character when position falls inside one.
    qsizetype characterStart(qsizetype position) const
    {
        while (position < text_.size() && Utf8Text::codeUnits(text_[position]) == 0)
            ++position;
        return position;
    }

    const TextPane &pane_;
    const QByteArrayView text_;
};

// A change made from code: no step in the undo history, and the steps already there are
// dropped. Without a screen reader listening, Scintilla's change notifications are switched
// off too: QScintilla would otherwise convert and copy every inserted or deleted text for them.
class TextPane::ProgrammaticChange
{
public:
    explicit ProgrammaticChange(TextPane &pane)
        : pane_(pane), eventMask_(pane.send(SCI_GETMODEVENTMASK))
    {
        if (!QAccessible::isActive())
            pane_.send(SCI_SETMODEVENTMASK, 0);
        pane_.send(SCI_SETUNDOCOLLECTION, false);
    }

    ~ProgrammaticChange()
    {
        pane_.send(SCI_SETUNDOCOLLECTION, true);
        pane_.send(SCI_EMPTYUNDOBUFFER);
        pane_.send(SCI_SETMODEVENTMASK, eventMask_);
    }

    ProgrammaticChange(const ProgrammaticChange &) = delete;
    ProgrammaticChange &operator=(const ProgrammaticChange &) = delete;

private:
    TextPane &pane_;
    const long eventMask_;
};

TextPane::TextPane(QWidget *parent) : QsciScintilla(parent)
{
    PaneAccessible::install();
    useDocument(false);
    send(SCI_STYLESETVISIBLE, hiddenStyle, false);
    send(SCI_SETLAYOUTCACHE, SC_CACHE_PAGE);

    // The look of a plain text box: no margins, one text line per screen line.
    send(SCI_SETMARGINS, 0);
    send(SCI_SETMARGINLEFT, 0, textPadding);
    send(SCI_SETMARGINRIGHT, 0, textPadding);
    // Scintilla has no space above the first line; the frame around the text area gives it.
    setViewportMargins(0, textPadding, 0, 0);
    setWrapMode(WrapNone);
    send(SCI_SETSCROLLWIDTHTRACKING, true);
    setColor(unmarked);
    setPaper(palette().color(QPalette::Base));
    // QsciScintilla gave the widget a font of its own; the pane inherits the window's.
    QWidget::setFont(QFont());
    applyFont();
    for (const KeyBinding &binding : plainKeys)
        standardCommands()->find(binding.command)->setKey(binding.key);

    indicator_ = indicatorDefine(TextColorIndicator);
    setIndicatorForegroundColor(marked, indicator_);
    // Shown again when the pane takes the keyboard focus.
    send(SCI_HIDESELECTION, true);
    viewport()->setMouseTracking(true);
}

// No lexer ever styles this text, so a document keeps no style byte per character unless it must
// hide the tails of long lines: the bytes would cost as much memory as the text. QScintilla's own
// document handle is left pointing at a replaced document, so document() and setDocument() must
// not be used.
void TextPane::useDocument(bool styled)
{
    auto *document = reinterpret_cast<void *>(
        send(SCI_CREATEDOCUMENT, 0, styled ? 0 : SC_DOCUMENTOPTION_STYLES_NONE));
    SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document);
    styled_ = styled;
    // The code page, the line-end mode and the UTF-16 index belong to the document just set.
    lineIndexAllocated_ = false;
    setUtf8(true);
    setEolMode(EolWindows);
    send(SCI_SETPASTECONVERTENDINGS, true);
}

long TextPane::send(unsigned int message, qsizetype wParam, qsizetype lParam) const
{
    return SendScintilla(message, static_cast<unsigned long>(wParam), static_cast<long>(lParam));
}

QString TextPane::text() const
{
    const QByteArrayView bytes = utf8Text();
    return QString::fromUtf8(bytes.data(), bytes.size());
}

void TextPane::setText(const QString &text)
{
    setUtf8Text(text.toUtf8());
}

QByteArrayView TextPane::utf8Text() const
{
    return {static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER)),
            qsizetype(send(SCI_GETLENGTH))};
}

void TextPane::setUtf8Text(QByteArray bytes)
{
    const Utf8Text::CrLfText crLf = Utf8Text::toCrLf(std::move(bytes));
    const bool hides = crLf.longestLength > shownLineBytes;
    if (hides != styled_)
        useDocument(hides);
    {
        ProgrammaticChange change(*this);
        // Clearing first drops the colours with the text: new text never takes the colour of
        // the text it replaces.
        send(SCI_CLEARALL);
        releaseLineIndex();
        SendScintilla(SCI_APPENDTEXT, uintptr_t(crLf.bytes.size()), crLf.bytes.constData());
        if (hides)
            hideLineTails();
    }
    longestLine_ = crLf.longestLine;
    fitScrollWidth();
}

void TextPane::hideLineTails()
{
    const qsizetype lines = send(SCI_GETLINECOUNT);
    for (qsizetype line = 0; line < lines; ++line) {
        const qsizetype end = send(SCI_GETLINEENDPOSITION, line);
        qsizetype cut = send(SCI_POSITIONFROMLINE, line) + shownLineBytes;
        if (cut >= end)
            continue;
        // At the start of a character.
        while (Utf8Text::codeUnits(char(send(SCI_GETCHARAT, cut))) == 0)
            --cut;
        send(SCI_STARTSTYLING, cut);
        send(SCI_SETSTYLING, end - cut, hiddenStyle);
    }
}

qsizetype TextPane::textLength() const
{
    allocateLineIndex();
    return send(SCI_INDEXPOSITIONFROMLINE, send(SCI_GETLINECOUNT), utf16);
}

void TextPane::allocateLineIndex() const
{
    if (lineIndexAllocated_)
        return;
    send(SCI_ALLOCATELINECHARACTERINDEX, utf16);
    lineIndexAllocated_ = true;
}

void TextPane::releaseLineIndex()
{
    if (!lineIndexAllocated_)
        return;
    send(SCI_RELEASELINECHARACTERINDEX, utf16);
    lineIndexAllocated_ = false;
}

qsizetype TextPane::bytePosition(qsizetype index) const
{
    return Positions(*this).byteOf(index);
}

qsizetype TextPane::indexOfBytePosition(qsizetype position) const
{
    return Positions(*this).indexOf(position);
}

qsizetype TextPane::selStart() const
{
    return indexOfBytePosition(send(SCI_GETSELECTIONSTART));
}

void TextPane::setSelStart(qsizetype index)
{
    const qsizetype position = bytePosition(index);
    selectBytes(position, position);
}

qsizetype TextPane::selLength() const
{
    Positions positions(*this);
    return positions.indexOf(send(SCI_GETSELECTIONEND)) -
           positions.indexOf(send(SCI_GETSELECTIONSTART));
}

void TextPane::setSelLength(qsizetype length)
{
    Positions positions(*this);
    const qsizetype start = positions.indexOf(send(SCI_GETSELECTIONSTART));
    selectBytes(positions.byteOf(start), positions.byteOf(start + std::max<qsizetype>(length, 0)));
}

// SCI_SETSEL would also hand the selected text to the X11 primary selection, as a QString: a
// comparison selects whole texts of many megabytes, which took hundreds of megabytes and half a
// second, and it would replace what the user last selected for a middle-click paste.
void TextPane::selectBytes(qsizetype start, qsizetype end)
{
    send(SCI_SETSELECTION, end, start);
    send(SCI_SCROLLCARET);
}

void TextPane::setSelColor(const QColor &colour)
{
    const qsizetype start = send(SCI_GETSELECTIONSTART);
    const qsizetype end = send(SCI_GETSELECTIONEND);
    if (start == end)
        return;
    ProgrammaticChange change(*this);
    send(SCI_SETINDICATORCURRENT, indicator_);
    fillByteRange(start, end, isMarking(colour));
}

void TextPane::colorByteRanges(const TextRange *begin, const TextRange *end, const QColor &colour)
{
    const bool mark = isMarking(colour);
    const QByteArrayView text = utf8Text();
    // A byte range, like an index range, takes a whole line break when it ends between CR and LF,
    // and one starting there begins on the next line.
    const auto outsideCrLf = [&text](qsizetype position) {
        position = std::clamp<qsizetype>(position, 0, text.size());
        const bool betweenCrLf = position > 0 && position < text.size() &&
                                 text[position - 1] == '\r' && text[position] == '\n';
        return position + betweenCrLf;
    };
    ProgrammaticChange change(*this);
    send(SCI_SETINDICATORCURRENT, indicator_);
    for (const TextRange *range = begin; range != end; ++range) {
        if (range->length > 0)
            fillByteRange(outsideCrLf(range->start), outsideCrLf(range->start + range->length),
                          mark);
    }
}

QColor TextPane::colorAt(qsizetype index) const
{
    // The last byte of the character at index; both bytes of a CR LF carry the same colour.
    const qsizetype position = bytePosition(index + 1) - 1;
    if (position < 0 || position >= send(SCI_GETLENGTH))
        return color();
    return send(SCI_INDICATORVALUEAT, indicator_, position) ? marked : color();
}

// Only red and black are ever used: any colour but the text colour marks.
bool TextPane::isMarking(const QColor &colour) const
{
    return colour != color();
}

// Expects the indicator to be current.
void TextPane::fillByteRange(qsizetype start, qsizetype end, bool mark)
{
    if (end <= start)
        return;
    send(mark ? SCI_INDICATORFILLRANGE : SCI_INDICATORCLEARRANGE, start, end - start);
}

// Sets the horizontal scroll range from the line that was longest in bytes, the likely widest,
// rather than measuring every line; tracking widens it when a wider line is drawn.
void TextPane::fitScrollWidth()
{
    const qsizetype start = send(SCI_POSITIONFROMLINE, longestLine_);
    const qsizetype length = send(SCI_GETLINEENDPOSITION, longestLine_) - start;
    const qsizetype shown = std::min(length, shownLineBytes);
    qsizetype sampled = std::min(length, widthSampleBytes);
    const char *line = reinterpret_cast<const char *>(send(SCI_GETRANGEPOINTER, start, length));
    while (sampled < length && Utf8Text::codeUnits(line[sampled]) == 0)
        --sampled; // a whole number of characters
    const QByteArray sample(line, sampled);
    const double width = double(send(SCI_TEXTWIDTH, STYLE_DEFAULT, qsizetype(sample.constData())));
    const double scale = sampled > 0 ? double(shown) / double(sampled) : 1.0;
    send(SCI_SETSCROLLWIDTH, std::max<qsizetype>(1, qsizetype(std::ceil(width * scale))));
}

// The window sets the pane's font as any widget's, or the pane inherits it; Scintilla draws with
// the font of its styles. QsciScintilla::setFont() would set the widget's font as well, so that
// the pane would stop inheriting a changed font.
void TextPane::applyFont()
{
    const QFont current = font();
    const qreal points =
        current.pointSizeF() > 0 ? current.pointSizeF() : QFontInfo(current).pointSizeF();
    for (const int style : {int(STYLE_DEFAULT), 0, hiddenStyle}) {
        SendScintilla(SCI_STYLESETFONT, style, current.family().toUtf8().constData());
        send(SCI_STYLESETSIZEFRACTIONAL, style, qRound(points * int(SC_FONT_SIZE_MULTIPLIER)));
        // A negative weight is taken as Qt's own.
        send(SCI_STYLESETWEIGHT, style, -current.weight());
        send(SCI_STYLESETITALIC, style, current.italic());
        send(SCI_STYLESETUNDERLINE, style, current.underline());
    }
}

void TextPane::changeEvent(QEvent *event)
{
    QsciScintilla::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        applyFont();
        fitScrollWidth();
        break;
    case QEvent::PaletteChange:
        setPaper(palette().color(QPalette::Base));
        break;
    default:
        break;
    }
}

// A plain text box shows its selection only while it has the keyboard focus, so the range a
// comparison leaves selected shows its colour until the user clicks into the pane.
void TextPane::focusInEvent(QFocusEvent *event)
{
    send(SCI_HIDESELECTION, false);
    QsciScintilla::focusInEvent(event);
}

void TextPane::focusOutEvent(QFocusEvent *event)
{
    QsciScintilla::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        send(SCI_HIDESELECTION, true);
}

// Tab types a tab, as in a plain text box; Shift+Tab moves the focus back, which Scintilla would
// otherwise take for removing an indent.
bool TextPane::event(QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Backtab &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return focusNextPrevChild(false);
    }
    return QsciScintilla::event(event);
}

void TextPane::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT mouseMoved();
    QsciScintilla::mouseMoveEvent(event);
}

void TextPane::setPointer(const QCursor &pointer)
{
    pointer_ = pointer;
    viewport()->setCursor(pointer);
}

void TextPane::unsetPointer()
{
    pointer_.reset();
    viewport()->setCursor(Qt::IBeamCursor);
}

bool TextPane::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::CursorChange && pointer_ && viewport()->cursor() != *pointer_)
        viewport()->setCursor(*pointer_);
    return QsciScintilla::viewportEvent(event);
}

bool TextPane::setLeftTwips(float value)
{
    return assignTwips(left_, value, isPlacement(value));
}

bool TextPane::setTopTwips(float value)
{
    return assignTwips(top_, value, isPlacement(value));
}

bool TextPane::setWidthTwips(float value)
{
    return assignTwips(width_, value, isExtent(value));
}

bool TextPane::setHeightTwips(float value)
{
    return assignTwips(height_, value, isExtent(value));
}

bool TextPane::assignTwips(float &field, float value, bool valid)
{
    if (!valid)
        return false;
    field = value;
    placeInPixels();
    return true;
}

void TextPane::placeInPixels()
{
    setGeometry(Twips::toPixels(left_, this), Twips::toPixels(top_, this),
                Twips::toPixels(width_, this), Twips::toPixels(height_, this));
}
