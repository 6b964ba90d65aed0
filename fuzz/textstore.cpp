#include "pane/TextStore.h"
#include "FuzzSupport.h"
#include "TextStoreReference.h"
#include "pane/MarkedRanges.h"

#include <vector>

// A text store and its red ranges put through a run of edits and colourings read from the
// input, each checked against plain bytes and a flag per byte after every step: the bytes, the
// lines, every index and byte position mapped, and every range lookup.
//
// Every step takes a byte that says what to do, then bytes for places and pieces of text:
// insert, delete, replace (pieces typed, or pasted many times over), read the bytes (which moves
// the store's gap), set the text anew, mark or unmark.

namespace {

const QByteArray pieces[] = {"a",  "b",        "\r\n",         " ",
                             "\t", "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80"};
constexpr qsizetype largestText = 4096;

class Input
{
public:
    Input(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    bool atEnd() const { return at_ >= size_; }
    unsigned next() { return at_ < size_ ? data_[at_++] : 0; }
    unsigned next16() { return next() << 8 | next(); }

private:
    const uint8_t *data_;
    size_t size_;
    size_t at_ = 0;
};

// The places an edit may start or end: character boundaries that split no CR LF.
std::vector<qsizetype> boundaries(const QByteArray &text)
{
    std::vector<qsizetype> places;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool inside = i < text.size() && ((text[i] & 0xc0) == 0x80 ||
                                                (i > 0 && text[i] == '\n' && text[i - 1] == '\r'));
        if (!inside)
            places.push_back(i);
    }
    return places;
}

QByteArray typed(Input &input, unsigned count)
{
    QByteArray text;
    for (unsigned i = 0; i < count; ++i)
        text += pieces[input.next() % std::size(pieces)];
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input input(data, size);
    TextStore store;
    MarkedRanges marked;
    QByteArray model;
    MarkedBytesReference red;
    QByteArray steps;
    while (!input.atEnd()) {
        const unsigned step = input.next();
        const std::vector<qsizetype> places = boundaries(model);
        const auto place = [&] { return places[input.next16() % places.size()]; };
        qsizetype start = place();
        qsizetype end = place();
        if (start > end)
            std::swap(start, end);
        bool readBytes = false;
        QByteArray inserted;
        switch (step % 8) {
        case 0:
        case 1:
            end = start;
            inserted = typed(input, step / 8 % 4 + 1);
            break;
        case 2:
            break;
        case 3:
            inserted = typed(input, step / 8 % 4 + 1);
            break;
        case 4:
            inserted = typed(input, step / 8 % 3 + 1).repeated(input.next() + 1);
            break;
        case 5:
            readBytes = true;
            break;
        case 6:
            // A new text, still shared with the caller's copy when the next edit comes.
            store.setText(model);
            marked.clear();
            red.red.assign(red.red.size(), false);
            readBytes = step & 8;
            break;
        default: {
            // Colouring is by bytes, not characters.
            const qsizetype from = input.next16() % (model.size() + 1);
            const qsizetype to = input.next16() % (model.size() + 1);
            if (step & 8) {
                marked.mark(from, to);
                red.mark(from, to);
            } else {
                marked.unmark(from, to);
                red.mark(from, to, false);
            }
            steps += (step & 8 ? " mark " : " unmark ") + QByteArray::number(from) + ".." +
                     QByteArray::number(to);
            break;
        }
        }
        if (step % 8 <= 4 && model.size() - (end - start) + inserted.size() <= largestText) {
            store.replace(start, end, inserted);
            model.replace(start, end - start, inserted);
            marked.replaced(start, end, inserted.size());
            red.replaced(start, end, inserted.size());
            steps += " replace " + QByteArray::number(start) + ".." + QByteArray::number(end) +
                     " by " + QByteArray::number(inserted.size());
        }
        const auto detail = [&](const QByteArray &mismatch) -> QByteArray {
            return mismatch + ", after" + steps + " in " + visible(model.left(200));
        };
        const QByteArray storeMismatch = textStoreMismatch(store, model, readBytes);
        if (!storeMismatch.isEmpty())
            fail("the store holds and maps the edited text", detail(storeMismatch));
        const QByteArray rangesMismatch = markedRangesMismatch(marked, red);
        if (!rangesMismatch.isEmpty())
            fail("the red ranges follow the edits", detail(rangesMismatch));
    }
    return 0;
}
