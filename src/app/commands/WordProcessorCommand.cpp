#include "app/commands/WordProcessorCommand.h"

#include "app/WaitPointer.h"
#include "app/commands/SaveCommand.h"
#include "pane/TextPane.h"
#include "wordprocessor/SourceTexts.h"
#include "wordprocessor/WordProcessorMethod.h"

namespace {

// The source panes, saved as the save buttons save them.
class PaneTexts : public SourceTexts
{
public:
    PaneTexts(const TextPane &source1, const TextPane &source2, MessageBoxes &messages)
        : source1_(source1), source2_(source2), messages_(messages)
    {}

    QString text(Side side) const override { return pane(side).text(); }
    bool save(Side side, const QString &path) override
    {
        return savePaneText(pane(side), path, messages_);
    }

private:
    const TextPane &pane(Side side) const { return side == Side::One ? source1_ : source2_; }

    const TextPane &source1_;
    const TextPane &source2_;
    MessageBoxes &messages_;
};

} // namespace

void compareInWordProcessor(const TextPane &source1, const TextPane &source2,
                            AutomationRegistry &automation, MessageBoxes &messages,
                            WindowPointer &pointer)
{
    WaitPointer wait(pointer);
    PaneTexts texts(source1, source2, messages);
    WordProcessorMethod(automation, messages).compareTexts(texts);
}
