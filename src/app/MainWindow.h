#pragma once

#include "app/Services.h"
#include "app/WindowPointer.h"
#include "pane/Side.h"

#include <QCursor>
#include <QEventLoop>
#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class TextPane;
class PaneComparison;
struct FileCommandServices;
enum class ComparisonKind;

// The program's one window: two source panes, two result panes over them, the load, save and
// compare buttons, and the display-mode and comparison-method choices, which are stored in the
// settings whenever they change.
class MainWindow : public QWidget, public WindowPointer
{
    Q_OBJECT

public:
    explicit MainWindow(Services &services, QWidget *parent = nullptr);

    PointerCode mousePointer() const override { return mousePointer_; }
    void setMousePointer(PointerCode code) override;

    // Lets the window handle pending events (with the flags' exceptions) and repaint. Returns
    // false once the window has been closed: the running operation must then return at once
    // without touching anything.
    bool yieldToEventLoop(QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents);
    bool isClosed() const { return closed_; }

    // Loads files into a side's source pane as its load button would load them.
    void loadFiles(Side side, const QStringList &paths);

    QGroupBox *const methodGroup;
    QGroupBox *const displayGroup;
    QLabel *const caption1;
    QLabel *const caption2;
    TextPane *const textPane1;
    TextPane *const textPane2;
    TextPane *const resultPane1;
    TextPane *const resultPane2;
    QPushButton *const compareLinesButton;
    QPushButton *const saveButton1;
    QPushButton *const loadButton1;
    QPushButton *const loadButton2;
    QPushButton *const saveButton2;
    QPushButton *const compareWordsButton;
    QRadioButton *const highlightOption;
    QRadioButton *const differencesOnlyOption;
    QRadioButton *const standardMethodOption;
    QRadioButton *const wordProcessorMethodOption;

public Q_SLOTS:
    void compareLines();
    void compareWords();
    void loadText(Side side);
    void saveResults(Side side);

    // Selects a radio button as a click would, running its handling even when it was
    // selected already.
    void select(QRadioButton *option);
    // Places the panes for the window's current width.
    void layoutPanes();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createControls();
    // Names that say which text and which view each pane holds, for screen readers.
    void describeForScreenReaders();
    void setTabOrder();
    // Tells screen readers what a finished comparison listed.
    void announceResults(ComparisonKind kind);
    void connectEvents();
    void startUp();
    void centerOnScreen();
    void optionSelected(QRadioButton *option);
    void displayModeSelected(QRadioButton *handled);
    void methodSelected(bool standard);
    void storeSetting(const QString &key, const QString &value);
    void applyMousePointer();
    PaneComparison paneComparison();
    FileCommandServices fileCommandServices();

    Services &services_;
    PointerCode mousePointer_ = PointerCode::Default;
    QCursor customCursor_{Qt::PointingHandCursor};
    bool closed_ = false;
    bool settingsFailureShown_ = false;
    // A comparison is running. A start click that arrives during one of its yields would run a
    // second comparison inside it and mix their results in the panes, so it is ignored.
    bool comparing_ = false;
};
