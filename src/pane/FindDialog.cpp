#include "pane/FindDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FindDialog::FindDialog(QWidget *parent)
    : QDialog(parent), pattern_(new QLineEdit(this)),
      matchCase_(new QCheckBox(QStringLiteral("Match &case"), this)),
      wholeWords_(new QCheckBox(QStringLiteral("&Whole words"), this)), status_(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Find"));
    auto *label = new QLabel(QStringLiteral("Fi&nd:"), this);
    label->setBuddy(pattern_);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *next =
        buttons->addButton(QStringLiteral("Find &Next"), QDialogButtonBox::ActionRole);
    QPushButton *previous =
        buttons->addButton(QStringLiteral("Find &Previous"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    // Enter is the dialog's own key below, not a default button's.
    next->setAutoDefault(false);
    previous->setAutoDefault(false);
    connect(next, &QPushButton::clicked, this, [this] { Q_EMIT findRequested(false); });
    connect(previous, &QPushButton::clicked, this, [this] { Q_EMIT findRequested(true); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(pattern_, 0, 1);
    layout->addWidget(matchCase_, 1, 1);
    layout->addWidget(wholeWords_, 2, 1);
    layout->addWidget(status_, 3, 0, 1, 2);
    layout->addWidget(buttons, 4, 0, 1, 2);
}

QString FindDialog::pattern() const
{
    return pattern_->text();
}

void FindDialog::setPattern(const QString &pattern)
{
    pattern_->setText(pattern);
    pattern_->selectAll();
}

bool FindDialog::matchCase() const
{
    return matchCase_->isChecked();
}

void FindDialog::setMatchCase(bool on)
{
    matchCase_->setChecked(on);
}

bool FindDialog::wholeWords() const
{
    return wholeWords_->isChecked();
}

void FindDialog::setWholeWords(bool on)
{
    wholeWords_->setChecked(on);
}

QString FindDialog::status() const
{
    return status_->text();
}

void FindDialog::setStatus(const QString &status)
{
    status_->setText(status);
}

void FindDialog::keyPressEvent(QKeyEvent *event)
{
    const bool backwards = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F3:
        Q_EMIT findRequested(backwards);
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
