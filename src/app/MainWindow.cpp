#include "app/MainWindow.h"

#include "app/AppTitle.h"
#include "app/ApplySkin.h"
#include "app/CenterOnScreen.h"
#include "app/ComparisonSummary.h"
#include "app/HandPointer.h"
#include "app/NavigationKeys.h"
#include "app/PaneLayout.h"
#include "app/PointerFeedback.h"
#include "app/StoredChoices.h"
#include "app/TextColours.h"
#include "app/commands/FileDropLoader.h"
#include "app/commands/LoadCommand.h"
#include "app/commands/PaneComparison.h"
#include "app/commands/SaveCommand.h"
#include "app/commands/WordProcessorCommand.h"
#include "pane/PaneNavigation.h"
#include "pane/TextPane.h"
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

// Creates a control with the name a skin's style sheet addresses it by (#compareLinesButton).
template <typename Control, typename... Arguments>
Control *named(const char *name, Arguments &&...arguments)
{
    auto *control = new Control(std::forward<Arguments>(arguments)...);
    control->setObjectName(QLatin1String(name));
    return control;
}

void place(QWidget *control, float left, float top, float width, float height)
{
    control->setGeometry(Twips::toPixels(left, control), Twips::toPixels(top, control),
                         Twips::toPixels(width, control), Twips::toPixels(height, control));
}

void placePane(TextPane *pane, float left, float top, float width, float height)
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

MainWindow::MainWindow(Services &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      methodGroup(named<QGroupBox>("methodGroup", QStringLiteral("Comparison Method"), this)),
      // The caption's spelling is the one users know, kept on purpose.
      displayGroup(named<QGroupBox>("displayGroup", QStringLiteral("Comparision Options"), this)),
      caption1(named<QLabel>("caption1", QStringLiteral("Text File #1:"), this)),
      caption2(named<QLabel>("caption2", QStringLiteral("Text File #2:"), this)),
      textPane1(named<TextPane>("textPane1", this)), textPane2(named<TextPane>("textPane2", this)),
      resultPane1(named<TextPane>("resultPane1", this)),
      resultPane2(named<TextPane>("resultPane2", this)),
      compareLinesButton(named<QPushButton>(
          "compareLinesButton",
          QStringLiteral("Start Finding Differences By Comparing Entire Lines"), this)),
      saveButton1(named<QPushButton>("saveButton1", QStringLiteral("Save Results #1"), this)),
      loadButton1(named<QPushButton>("loadButton1", QStringLiteral("Load Text File #1"), this)),
      loadButton2(named<QPushButton>("loadButton2", QStringLiteral("Load Text File #2"), this)),
      saveButton2(named<QPushButton>("saveButton2", QStringLiteral("Save Results #2"), this)),
      compareWordsButton(named<QPushButton>(
          "compareWordsButton",
          QStringLiteral("Start Finding Differences By Comparing Space-separated Words"), this)),
      highlightOption(
          named<QRadioButton>("highlightOption",
                              QStringLiteral("Display all lines but highlight the lines with "
                                             "differences (after clicking 'Start')"),
                              displayGroup)),
      differencesOnlyOption(named<QRadioButton>(
          "differencesOnlyOption",
          QStringLiteral("Display only the lines with differences (after clicking 'Start')"),
          displayGroup)),
      standardMethodOption(named<QRadioButton>(
          "standardMethodOption", QStringLiteral("Standard Comparison:"), methodGroup)),
      wordProcessorMethodOption(named<QRadioButton>(
          "wordProcessorMethodOption",
          QStringLiteral("MS Word Comparison (MS Word must be installed on your computer to use "
                         "this extra feature)"),
          methodGroup)),
      services_(services)
{
    setObjectName(QStringLiteral("mainWindow"));
    createControls();
    describeForScreenReaders();
    setTabOrder();
    connectEvents();
    new PointerFeedback(*this);
    startUp();
}

void MainWindow::createControls()
{
    setFixedSize(Twips::toPixels(clientWidth, this), Twips::toPixels(clientHeight, this));
    paintBackground(this, QPalette::Window, Qt::white);

    place(caption1, 120, 120, 1455, 255);
    place(caption2, 4560, 120, 1455, 255);
    placePane(textPane1, 120, 360, 4335, 4335);
    placePane(textPane2, 4550, 360, 4335, 4335);
    placePane(resultPane1, 120, 360, 4335, 1215);
    placePane(resultPane2, 4550, 360, 4335, 1215);
    // A result pane lists one difference a line, so the difference keys step through its lines.
    resultPane1->navigation().setListing(true);
    resultPane2->navigation().setListing(true);
    place(loadButton1, 120, 4800, 2100, 420);
    place(saveButton1, 2355, 4800, 2100, 420);
    place(loadButton2, 4560, 4800, 2100, 420);
    place(saveButton2, 6780, 4800, 2100, 420);
    place(compareLinesButton, 120, 5280, 8760, 420);
    place(compareWordsButton, 120, 5760, 8760, 420);
    place(displayGroup, 120, 6240, 8760, 1065);
    place(differencesOnlyOption, 240, 300, 5655, 255);
    place(highlightOption, 240, 650, 7455, 255);
    // Lies below the client area on purpose, as users know it: the method is chosen with the
    // keyboard or in the settings, not with the mouse.
    place(methodGroup, 120, 8760, 8760, 2025);
    place(standardMethodOption, 240, 300, 2505, 255);
    place(wordProcessorMethodOption, 240, 1560, 8460, 255);

    const QFont controlFont = arialBold(9);
    for (QWidget *control : std::initializer_list<QWidget *>{
             textPane1, textPane2, resultPane1, resultPane2, caption1, caption2, methodGroup,
             displayGroup, highlightOption, differencesOnlyOption, standardMethodOption,
             wordProcessorMethodOption})
        control->setFont(controlFont);
    // Radio buttons fill with their button colour, captions and groups with the window colour.
    // The white is the design's, whatever the system's colours: on a dark system the system's
    // light text would vanish on it, so the text takes a colour that reads on white.
    const QPalette system = QApplication::palette();
    const QColor textOnWhite = readableOn(Qt::white, system.color(QPalette::WindowText));
    for (QWidget *control : std::initializer_list<QWidget *>{
             caption1, caption2, methodGroup, displayGroup, highlightOption, differencesOnlyOption,
             standardMethodOption, wordProcessorMethodOption}) {
        paintBackground(control, control->backgroundRole(), Qt::white);
        setTextOn(*control, Qt::white, textOnWhite);
    }

    // The captions of the push buttons read on the face the style really draws, which is white
    // unless the style draws a face of its own.
    const QFont buttonFont = arialBold(11.25);
    const QList<QPushButton *> buttons{compareLinesButton, saveButton1, loadButton1,
                                       loadButton2,        saveButton2, compareWordsButton};
    for (QPushButton *button : buttons) {
        button->setFont(buttonFont);
        QPalette palette = button->palette();
        palette.setColor(QPalette::Button, Qt::white);
        button->setPalette(palette);
    }
    const QColor face = drawnFace(*compareLinesButton);
    const QColor buttonText = readableOn(face, system.color(QPalette::ButtonText));
    for (QPushButton *button : buttons)
        setTextOn(*button, face, buttonText);

    differencesOnlyOption->setChecked(true);
    standardMethodOption->setChecked(true);
}

void MainWindow::describeForScreenReaders()
{
    caption1->setBuddy(textPane1);
    caption2->setBuddy(textPane2);
    const QString sourceDescription =
        QStringLiteral("After a comparison, the lines or words that differ from the other text "
                       "are red.");
    const QString resultDescription =
        QStringLiteral("After a comparison, each line is one difference that it found.");
    textPane1->setAccessibleName(QStringLiteral("Text File #1"));
    textPane2->setAccessibleName(QStringLiteral("Text File #2"));
    resultPane1->setAccessibleName(QStringLiteral("Differences in text #1"));
    resultPane2->setAccessibleName(QStringLiteral("Differences in text #2"));
    for (TextPane *pane : {textPane1, textPane2})
        pane->setAccessibleDescription(sourceDescription);
    for (TextPane *pane : {resultPane1, resultPane2})
        pane->setAccessibleDescription(resultDescription);
}

void MainWindow::announceResults(ComparisonKind kind)
{
    if (closed_)
        return;
    const auto listed = [](const TextPane *result) {
        return result->utf8Text().count(QByteArrayView("\r\n"));
    };
    announce(*this, comparisonSummary(kind, listed(resultPane1), listed(resultPane2)));
}

void MainWindow::setTabOrder()
{
    // Captions and group boxes take no focus, so they have no place in the chain.
    const QList<QWidget *> order{textPane1,
                                 textPane2,
                                 resultPane1,
                                 resultPane2,
                                 standardMethodOption,
                                 wordProcessorMethodOption,
                                 loadButton1,
                                 saveButton1,
                                 loadButton2,
                                 saveButton2,
                                 compareLinesButton,
                                 compareWordsButton,
                                 highlightOption,
                                 differencesOnlyOption};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void MainWindow::connectEvents()
{
    installNavigationKeys(*this);
    connect(compareLinesButton, &QPushButton::clicked, this, &MainWindow::compareLines);
    connect(compareWordsButton, &QPushButton::clicked, this, &MainWindow::compareWords);
    connect(loadButton1, &QPushButton::clicked, this, [this] { loadText(Side::One); });
    connect(loadButton2, &QPushButton::clicked, this, [this] { loadText(Side::Two); });
    connect(saveButton1, &QPushButton::clicked, this, [this] { saveResults(Side::One); });
    connect(saveButton2, &QPushButton::clicked, this, [this] { saveResults(Side::Two); });
    for (QRadioButton *option : {highlightOption, differencesOnlyOption, standardMethodOption,
                                 wordProcessorMethodOption}) {
        connect(option, &QRadioButton::toggled, this, [this, option](bool checked) {
            if (checked)
                optionSelected(option);
        });
    }
    new FileDropLoader(*textPane1,
                       [this](const QStringList &paths) { loadFiles(Side::One, paths); });
    new FileDropLoader(*textPane2,
                       [this](const QStringList &paths) { loadFiles(Side::Two, paths); });
}

void MainWindow::startUp()
{
    using namespace StoredChoices;
    applySkin(*this, services_);
    centerOnScreen();
    for (TextPane *pane : {textPane1, textPane2, resultPane1, resultPane2})
        pane->setText(QString());
    if (const std::optional<QCursor> hand = loadHandPointer(services_))
        customCursor_ = *hand;
    setWindowTitle(appTitle());

    const SettingsStore &settings = services_.settings;
    const QString comparison =
        settings.read(application, section, comparisonKey, comparisonDefault);
    select(isStandardMethod(comparison) ? standardMethodOption : wordProcessorMethodOption);

    const QString option2 = settings.read(application, section, option2Key, option2Default);
    const QString option1 = settings.read(application, section, option1Key, option1Default);
    select(displayModeAtStartUp(option2, option1) == DisplayMode::DifferencesOnly
               ? differencesOnlyOption
               : highlightOption);
}

void MainWindow::centerOnScreen()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QSize frame = frameGeometry().size();
    const QSize screenSize = screen->geometry().size();
    const QPointF topLeft = centeredPosition(
        {Twips::fromPixels(frame.width(), this), Twips::fromPixels(frame.height(), this)},
        {Twips::fromPixels(screenSize.width(), this),
         Twips::fromPixels(screenSize.height(), this)});
    move(screen->geometry().topLeft() + QPoint(Twips::toPixels(float(topLeft.x()), this),
                                               Twips::toPixels(float(topLeft.y()), this)));
}

void MainWindow::select(QRadioButton *option)
{
    if (option->isChecked())
        optionSelected(option);
    else
        option->setChecked(true);
}

void MainWindow::optionSelected(QRadioButton *option)
{
    if (option == highlightOption || option == differencesOnlyOption)
        displayModeSelected(option);
    else
        methodSelected(option == standardMethodOption);
}

void MainWindow::displayModeSelected(QRadioButton *handled)
{
    using namespace StoredChoices;
    storeSetting(option2Key, booleanText(differencesOnlyOption->isChecked()));
    storeSetting(option1Key, booleanText(highlightOption->isChecked()));
    if (!handled->isChecked())
        return;
    const bool sources = handled == highlightOption;
    textPane1->setVisible(sources);
    textPane2->setVisible(sources);
    resultPane1->setVisible(!sources);
    resultPane2->setVisible(!sources);
}

void MainWindow::methodSelected(bool standard)
{
    compareLinesButton->setEnabled(standard);
    storeSetting(StoredChoices::comparisonKey,
                 standard ? QStringLiteral("1") : QStringLiteral("2"));
}

void MainWindow::storeSetting(const QString &key, const QString &value)
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

PaneComparison MainWindow::paneComparison()
{
    return PaneComparison(
        {*textPane1, *textPane2, *resultPane1, *resultPane2}, *this,
        {[this] { return yieldToEventLoop(); },
         [this] { return yieldToEventLoop(QEventLoop::ExcludeUserInputEvents); }});
}

FileCommandServices MainWindow::fileCommandServices()
{
    return {services_.fileDialog, services_.messages, *this, services_.availableMemory};
}

void MainWindow::compareLines()
{
    if (comparing_)
        return;
    const QScopedValueRollback running(comparing_, true);
    paneComparison().compareLines();
    announceResults(ComparisonKind::Lines);
}

void MainWindow::compareWords()
{
    if (comparing_)
        return;
    const QScopedValueRollback running(comparing_, true);
    if (wordProcessorMethodOption->isChecked()) {
        compareInWordProcessor(*textPane1, *textPane2, services_.automation, services_.messages,
                               *this);
    } else {
        paneComparison().compareWords();
        announceResults(ComparisonKind::Words);
    }
}

void MainWindow::loadText(Side side)
{
    LoadCommand(side, side == Side::One ? *textPane1 : *textPane2, fileCommandServices(), [this] {
        select(highlightOption);
    }).run();
}

void MainWindow::loadFiles(Side side, const QStringList &paths)
{
    LoadCommand(side, side == Side::One ? *textPane1 : *textPane2, fileCommandServices(), [this] {
        select(highlightOption);
    }).loadFiles(paths);
}

void MainWindow::saveResults(Side side)
{
    const bool one = side == Side::One;
    SaveCommand(one ? *textPane1 : *textPane2, one ? *resultPane1 : *resultPane2,
                fileCommandServices())
        .run();
}

void MainWindow::setMousePointer(PointerCode code)
{
    mousePointer_ = code;
    applyMousePointer();
}

void MainWindow::applyMousePointer()
{
    switch (mousePointer_) {
    case PointerCode::Wait:
        setCursor(Qt::WaitCursor);
        break;
    case PointerCode::Hand:
        setCursor(customCursor_);
        break;
    case PointerCode::Default:
        unsetCursor();
        break;
    }
    // The panes' text areas carry a pointer of their own, which the window's setting overrides.
    for (TextPane *pane : {textPane1, textPane2, resultPane1, resultPane2}) {
        if (mousePointer_ == PointerCode::Default)
            pane->unsetPointer();
        else
            pane->setPointer(cursor());
    }
}

bool MainWindow::yieldToEventLoop(QEventLoop::ProcessEventsFlags flags)
{
    if (!closed_)
        QCoreApplication::processEvents(flags);
    return !closed_;
}

void MainWindow::layoutPanes()
{
    const float outerWidth = Twips::fromPixels(frameGeometry().width(), this);
    placePanes(outerWidth, *textPane1, *textPane2, *resultPane1, *resultPane2);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutPanes();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    layoutPanes();
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        layoutPanes();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    closed_ = true;
    event->accept();
}
