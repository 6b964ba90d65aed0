#include "app/Form1.h"

#include "app/AppTitle.h"
#include "app/ApplySkin.h"
#include "app/CenterOnScreen.h"
#include "app/HandPointer.h"
#include "app/PaneLayout.h"
#include "app/PointerFeedback.h"
#include "app/StoredChoices.h"
#include "app/WordBranch.h"
#include "compare/PaneComparison.h"
#include "documents/FileDropLoader.h"
#include "documents/LoadCommand.h"
#include "documents/SaveCommand.h"
#include "pane/RichTextPane.h"
#include "pane/Twips.h"
#include "platform/MessageBoxes.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>

namespace {

constexpr float clientWidth = 9000;
constexpr float clientHeight = 7425;

void place(QWidget *control, float left, float top, float width, float height)
{
    control->setGeometry(Twips::toPixels(left, control), Twips::toPixels(top, control),
                         Twips::toPixels(width, control), Twips::toPixels(height, control));
}

void placePane(RichTextPane *pane, float left, float top, float width, float height)
{
    pane->setLeftTwips(left);
    pane->setTopTwips(top);
    pane->setWidthTwips(width);
    pane->setHeightTwips(height);
}

QFont arialBold(qreal points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

void paintBackground(QWidget *control, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = control->palette();
    palette.setColor(role, colour);
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

} // namespace

Form1::Form1(Services &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Frame1(new QGroupBox(QStringLiteral("Comparison Method"), this)),
      Frame2(new QGroupBox(QStringLiteral("Comparision Options"), this)),
      Label1(new QLabel(QStringLiteral("Text File #1:"), this)),
      Label2(new QLabel(QStringLiteral("Text File #2:"), this)),
      RichTextBox1(new RichTextPane(this)), RichTextBox2(new RichTextPane(this)),
      RichTextBox3(new RichTextPane(this)), RichTextBox4(new RichTextPane(this)),
      PushButton1(new QPushButton(
          QStringLiteral("Start Finding Differences By Comparing Entire Lines"), this)),
      PushButton2(new QPushButton(QStringLiteral("Save Results #1"), this)),
      PushButton3(new QPushButton(QStringLiteral("Load Text File #1"), this)),
      PushButton4(new QPushButton(QStringLiteral("Load Text File #2"), this)),
      PushButton5(new QPushButton(QStringLiteral("Save Results #2"), this)),
      PushButton6(new QPushButton(
          QStringLiteral("Start Finding Differences By Comparing Space-separated Words"), this)),
      Option1(new QRadioButton(QStringLiteral("Display all lines but highlight the lines with "
                                              "differences (after clicking 'Start')"),
                               Frame2)),
      Option2(new QRadioButton(
          QStringLiteral("Display only the lines with differences (after clicking 'Start')"),
          Frame2)),
      Option3(new QRadioButton(QStringLiteral("Standard Comparison:"), Frame1)),
      Option4(new QRadioButton(QStringLiteral("MS Word Comparison (MS Word must be installed on "
                                              "your computer to use this extra feature)"),
                               Frame1)),
      services_(services)
{
    createControls();
    setTabOrder();
    connectEvents();
    new PointerFeedback(*this);
    startUp();
}

void Form1::createControls()
{
    setFixedSize(Twips::toPixels(clientWidth, this), Twips::toPixels(clientHeight, this));
    paintBackground(this, QPalette::Window, Qt::white);

    place(Label1, 120, 120, 1455, 255);
    place(Label2, 4560, 120, 1455, 255);
    placePane(RichTextBox1, 120, 360, 4335, 4335);
    placePane(RichTextBox2, 4550, 360, 4335, 4335);
    placePane(RichTextBox3, 120, 360, 4335, 1215);
    placePane(RichTextBox4, 4550, 360, 4335, 1215);
    place(PushButton3, 120, 4800, 2100, 420);
    place(PushButton2, 2355, 4800, 2100, 420);
    place(PushButton4, 4560, 4800, 2100, 420);
    place(PushButton5, 6780, 4800, 2100, 420);
    place(PushButton1, 120, 5280, 8760, 420);
    place(PushButton6, 120, 5760, 8760, 420);
    place(Frame2, 120, 6240, 8760, 1065);
    place(Option2, 240, 300, 5655, 255);
    place(Option1, 240, 650, 7455, 255);
    // Lies below the client area on purpose: the method is chosen in the settings, not on screen.
    place(Frame1, 120, 8760, 8760, 2025);
    place(Option3, 240, 300, 2505, 255);
    place(Option4, 240, 1560, 8460, 255);

    const QFont controlFont = arialBold(9);
    for (QWidget *control : std::initializer_list<QWidget *>{
             RichTextBox1, RichTextBox2, RichTextBox3, RichTextBox4, Label1, Label2, Frame1, Frame2,
             Option1, Option2, Option3, Option4})
        control->setFont(controlFont);
    // Radio buttons fill with their button colour, captions and groups with the window colour.
    for (QWidget *control : std::initializer_list<QWidget *>{Label1, Label2, Frame1, Frame2,
                                                             Option1, Option2, Option3, Option4})
        paintBackground(control, control->backgroundRole(), Qt::white);

    const QFont buttonFont = arialBold(11.25);
    const QColor buttonText = QApplication::palette().color(QPalette::ButtonText);
    for (QPushButton *button :
         {PushButton1, PushButton2, PushButton3, PushButton4, PushButton5, PushButton6}) {
        button->setFont(buttonFont);
        QPalette palette = button->palette();
        palette.setColor(QPalette::Button, Qt::white);
        palette.setColor(QPalette::ButtonText, buttonText);
        button->setPalette(palette);
    }

    for (RichTextPane *pane : {RichTextBox1, RichTextBox2, RichTextBox3, RichTextBox4})
        // One text line is one screen line: a differing line reads as one unit, and long files
        // scroll without wrapping every line.
        pane->setLineWrapMode(QPlainTextEdit::NoWrap);

    Option2->setChecked(true);
    Option3->setChecked(true);
}

void Form1::setTabOrder()
{
    // Captions and group boxes take no focus, so they have no place in the chain.
    const QList<QWidget *> order{
        RichTextBox1, RichTextBox2, RichTextBox3, RichTextBox4, Option3,     Option4, PushButton3,
        PushButton2,  PushButton4,  PushButton5,  PushButton1,  PushButton6, Option1, Option2};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form1::connectEvents()
{
    connect(PushButton1, &QPushButton::clicked, this, &Form1::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(PushButton3, &QPushButton::clicked, this, &Form1::PushButton3_Click);
    connect(PushButton4, &QPushButton::clicked, this, &Form1::PushButton4_Click);
    connect(PushButton5, &QPushButton::clicked, this, &Form1::PushButton5_Click);
    connect(PushButton6, &QPushButton::clicked, this, &Form1::PushButton6_Click);
    const auto onSelected = [this](QRadioButton *option, void (Form1::*handling)()) {
        connect(option, &QRadioButton::toggled, this, [this, handling](bool checked) {
            if (checked)
                (this->*handling)();
        });
    };
    onSelected(Option1, &Form1::Option1_Click);
    onSelected(Option2, &Form1::Option2_Click);
    onSelected(Option3, &Form1::Option3_Click);
    onSelected(Option4, &Form1::Option4_Click);
    new FileDropLoader(*this, *RichTextBox1);
    new FileDropLoader(*this, *RichTextBox2);
}

void Form1::startUp()
{
    using namespace StoredChoices;
    ApplySkin(*this, services_);
    centerOnScreen();
    for (RichTextPane *pane : {RichTextBox1, RichTextBox2, RichTextBox3, RichTextBox4})
        pane->setText(QString());
    if (const std::optional<QCursor> hand = loadHandPointer(services_))
        customCursor_ = *hand;
    setWindowTitle(appTitle());

    const SettingsStore &settings = services_.settings;
    const QString comparison =
        settings.read(application, section, comparisonKey, comparisonDefault);
    select(isStandardMethod(comparison) ? Option3 : Option4);

    const QString option2 = settings.read(application, section, option2Key, option2Default);
    const QString option1 = settings.read(application, section, option1Key, option1Default);
    select(displayModeAtStartUp(option2, option1) == DisplayMode::DifferencesOnly ? Option2
                                                                                  : Option1);
}

void Form1::centerOnScreen()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QSize frame = frameGeometry().size();
    const QSize screenSize = screen->geometry().size();
    const QPointF topLeft = CenterOnScreen(
        {Twips::fromPixels(frame.width(), this), Twips::fromPixels(frame.height(), this)},
        {Twips::fromPixels(screenSize.width(), this),
         Twips::fromPixels(screenSize.height(), this)});
    move(screen->geometry().topLeft() + QPoint(Twips::toPixels(float(topLeft.x()), this),
                                               Twips::toPixels(float(topLeft.y()), this)));
}

void Form1::select(QRadioButton *option)
{
    if (!option->isChecked()) {
        option->setChecked(true);
        return;
    }
    if (option == Option1)
        Option1_Click();
    else if (option == Option2)
        Option2_Click();
    else if (option == Option3)
        Option3_Click();
    else if (option == Option4)
        Option4_Click();
}

void Form1::Option1_Click()
{
    displayModeHandling(Option1);
}

void Form1::Option2_Click()
{
    displayModeHandling(Option2);
}

void Form1::displayModeHandling(QRadioButton *handled)
{
    using namespace StoredChoices;
    storeSetting(option2Key, booleanText(Option2->isChecked()));
    storeSetting(option1Key, booleanText(Option1->isChecked()));
    if (!handled->isChecked())
        return;
    const bool sources = handled == Option1;
    RichTextBox1->setVisible(sources);
    RichTextBox2->setVisible(sources);
    RichTextBox3->setVisible(!sources);
    RichTextBox4->setVisible(!sources);
}

void Form1::Option3_Click()
{
    PushButton1->setEnabled(true);
    storeSetting(StoredChoices::comparisonKey, QStringLiteral("1"));
}

void Form1::Option4_Click()
{
    PushButton1->setEnabled(false);
    storeSetting(StoredChoices::comparisonKey, QStringLiteral("2"));
}

void Form1::storeSetting(const QString &key, const QString &value)
{
    if (services_.settings.write(StoredChoices::application, StoredChoices::section, key, value))
        return;
    // Once per run is enough: the choice still works, it just will not be remembered.
    if (settingsFailureShown_)
        return;
    settingsFailureShown_ = true;
    services_.messages.warn(
        QStringLiteral("Your choices cannot be remembered for the next start.\n\n%1")
            .arg(services_.settings.lastError()));
}

void Form1::PushButton1_Click()
{
    if (comparing_)
        return;
    const QScopedValueRollback running(comparing_, true);
    PaneComparison(*this).runLineComparison();
}

void Form1::PushButton2_Click()
{
    saveResultsCommand(*this, *RichTextBox1, *RichTextBox3);
}

void Form1::PushButton3_Click()
{
    loadTextCommand(*this, *RichTextBox1);
}

void Form1::PushButton4_Click()
{
    loadTextCommand(*this, *RichTextBox2);
}

void Form1::PushButton5_Click()
{
    saveResultsCommand(*this, *RichTextBox2, *RichTextBox4);
}

void Form1::PushButton6_Click()
{
    if (comparing_)
        return;
    const QScopedValueRollback running(comparing_, true);
    if (Option4->isChecked())
        PushButton6_WordMethod();
    else
        PaneComparison(*this).runWordComparison();
}

void Form1::PushButton6_WordMethod()
{
    runWordBranch(*this);
}

void Form1::setMousePointer(int code)
{
    mousePointer_ = code;
    applyMousePointer();
}

void Form1::applyMousePointer()
{
    switch (mousePointer_) {
    case waitPointer:
        setCursor(Qt::WaitCursor);
        break;
    case customPointer:
        setCursor(customCursor_);
        break;
    default:
        unsetCursor();
        break;
    }
    // The panes' text areas carry a cursor of their own, which the window's setting overrides.
    for (RichTextPane *pane : {RichTextBox1, RichTextBox2, RichTextBox3, RichTextBox4}) {
        if (mousePointer_ == defaultPointer)
            pane->viewport()->setCursor(Qt::IBeamCursor);
        else
            pane->viewport()->setCursor(cursor());
    }
}

bool Form1::yieldToEventLoop()
{
    if (!closed_)
        QCoreApplication::processEvents();
    return !closed_;
}

void Form1::Form_Resize()
{
    const float outerWidth = Twips::fromPixels(frameGeometry().width(), this);
    layoutPanes(outerWidth, *RichTextBox1, *RichTextBox2, *RichTextBox3, *RichTextBox4);
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Form_Resize();
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Form1::closeEvent(QCloseEvent *event)
{
    closed_ = true;
    event->accept();
}
