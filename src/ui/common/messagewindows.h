#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

// The common frame of the three message windows: a blinking 48 x 48 icon, a bold headline and one
// detail line, laid out in pixels on a 440 x 93 client area that widens for longer texts.
class MessageWindow : public QDialog
{
    Q_OBJECT

public:
    void setMessage(const QString &text, const QString &detail);

    QLabel *headlineLabel() const { return m_headline; }
    QLabel *LabelSpecification() const { return m_specification; }
    QLabel *Image() const { return m_image; }
    QTimer *TimerIcon() const { return m_timerIcon; }

protected:
    MessageWindow(const QString &caption, const QString &iconResource, const QString &headlineName);

    QPushButton *addButton(const QString &caption, int left, const QString &name);
    // The button that Escape presses.
    void setCancelButton(QPushButton *button) { m_cancelButton = button; }

    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void TimerIconTimer();

    QLabel *m_image;
    QLabel *m_headline;
    QLabel *m_specification;
    QTimer *m_timerIcon;
    QPushButton *m_cancelButton = nullptr;
    struct PlacedButton
    {
        QPushButton *button;
        int left; // in the 440-pixel layout
    };
    QList<PlacedButton> m_buttons;
};

class TFormWarning : public MessageWindow
{
    Q_OBJECT

public:
    TFormWarning();

    QLabel *LabelWarning() const { return headlineLabel(); }
    QPushButton *ButtonOk() const { return m_buttonOk; }

private:
    QPushButton *m_buttonOk;
};

// Stays on top. When auto-closing, it deletes itself 2000 ms after it was shown; "Ok" only hides
// it until then.
class TFormInformation : public MessageWindow
{
    Q_OBJECT

public:
    TFormInformation();

    void setAutoClose(bool autoClose);

    QLabel *LabelInformation() const { return headlineLabel(); }
    QPushButton *ButtonOk() const { return m_buttonOk; }
    QTimer *Timer() const { return m_timer; }

    // The close timer's handler: the auto-closing window goes away.
    void TimerTimer();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPushButton *m_buttonOk;
    QTimer *m_timer;
    bool m_autoClose = false;
};

// Stays on top. "&Ano" closes with Yes, "&Ne" (also Escape) with No, the close box with neither.
// Neither button is the default: Enter presses the focused one, "&Ano" first in the tab order.
class TFormQuestion : public MessageWindow
{
    Q_OBJECT

public:
    enum Answer { Yes = 6, No = 7 };

    TFormQuestion();

    QLabel *LabelQuestion() const { return headlineLabel(); }
    QPushButton *ButtonYes() const { return m_buttonYes; }
    QPushButton *ButtonNo() const { return m_buttonNo; }

private:
    QPushButton *m_buttonYes;
    QPushButton *m_buttonNo;
};
