#pragma once

#include "app/PointerStates.h"
#include "app/Services.h"

#include <QCursor>
#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class RichTextPane;

// The program's one window: two source panes, two result panes over them, the load, save and
// compare buttons, and the display-mode and comparison-method choices, which are stored in the
// settings whenever they change.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // Pointer codes of the window.
    static constexpr int defaultPointer = PointerCode::standard;
    static constexpr int waitPointer = PointerCode::wait;
    static constexpr int customPointer = PointerCode::hand;

    explicit Form1(Services &services, QWidget *parent = nullptr);

    int mousePointer() const { return mousePointer_; }
    void setMousePointer(int code);

    // Lets the window handle pending input and repaint. Returns false once the window has been
    // closed: the running operation must then return at once without touching anything.
    bool yieldToEventLoop();
    bool isClosed() const { return closed_; }

    Services &services() const { return services_; }

    QGroupBox *const Frame1;
    QGroupBox *const Frame2;
    QLabel *const Label1;
    QLabel *const Label2;
    RichTextPane *const RichTextBox1;
    RichTextPane *const RichTextBox2;
    RichTextPane *const RichTextBox3;
    RichTextPane *const RichTextBox4;
    QPushButton *const PushButton1;
    QPushButton *const PushButton2;
    QPushButton *const PushButton3;
    QPushButton *const PushButton4;
    QPushButton *const PushButton5;
    QPushButton *const PushButton6;
    QRadioButton *const Option1;
    QRadioButton *const Option2;
    QRadioButton *const Option3;
    QRadioButton *const Option4;

public slots:
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton5_Click();
    void PushButton6_Click();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();

    // Selects a radio button as a click would, running its handling even when it was
    // selected already.
    void select(QRadioButton *option);
    // Places the panes for the window's current width.
    void Form_Resize();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createControls();
    void setTabOrder();
    void connectEvents();
    void startUp();
    void centerOnScreen();
    void displayModeHandling(QRadioButton *handled);
    void storeSetting(const QString &key, const QString &value);
    void applyMousePointer();
    // The Word branch of PushButton6_Click, taken when Option4 is selected.
    void PushButton6_WordMethod();

    Services &services_;
    int mousePointer_ = defaultPointer;
    QCursor customCursor_{Qt::PointingHandCursor};
    bool closed_ = false;
    bool settingsFailureShown_ = false;
    // A comparison is running. A start click that arrives during one of its yields would run a
    // second comparison inside it and mix their results in the panes, so it is ignored.
    bool comparing_ = false;
};
