#include "app/WordBranch.h"

#include "app/Form1.h"
#include "app/WaitPointer.h"
#include "documents/SavePaneToFile.h"
#include "pane/RichTextPane.h"
#include "wordcompare/SourcePanes.h"
#include "wordcompare/Word1.h"

namespace {

class FormSourcePanes : public SourcePanes
{
public:
    explicit FormSourcePanes(Form1 &form) : form_(form) {}

    QString text(int side) const override { return pane(side).text(); }
    bool save(int side, const QString &path) override
    {
        return SavePaneToFile(pane(side), path, form_.services().messages);
    }

private:
    RichTextPane &pane(int side) const
    {
        return side == 1 ? *form_.RichTextBox1 : *form_.RichTextBox2;
    }

    Form1 &form_;
};

} // namespace

void runWordBranch(Form1 &form)
{
    WaitPointer wait(form);
    FormSourcePanes panes(form);
    Word1(form.services().wordAutomation, form.services().messages).compareSourcePanes(panes);
}
