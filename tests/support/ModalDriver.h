#pragma once

// Drives modal windows from inside their event loops, for the window tests: answers each
// message box that comes up (OK unless told otherwise), records which modal windows came up,
// and runs steps once their condition holds.

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class ModalDriver final : public QObject
{
    Q_OBJECT

public:
    // What a message box showed before the test answered it.
    struct SeenBox
    {
        QString strText;
        QString strTitle;
        QMessageBox::Icon icon;
    };

    ModalDriver();

    // The next message boxes are answered with these buttons, in order; then OK.
    void AnswerNextBoxes(QList<QMessageBox::StandardButton> buttons) { m_answers = std::move(buttons); }
    // Runs action once, the first time condition holds (checked every few milliseconds).
    void When(std::function<bool()> condition, std::function<void()> action);
    // Runs action once on the first modal window of class Dialog that comes up.
    template <typename Dialog, typename Action> void WhenModal(Action action)
    {
        When([] { return qobject_cast<Dialog *>(QApplication::activeModalWidget()) != nullptr; },
             [action] { action(*qobject_cast<Dialog *>(QApplication::activeModalWidget())); });
    }

    QList<SeenBox> boxes;
    // The class names of the modal windows that came up, in order.
    QStringList modals;

private:
    void RunSteps();
    void Note(QWidget *pModal);
    void AnswerBox();

    struct Step
    {
        std::function<bool()> condition;
        std::function<void()> action;
        bool bDone = false;
    };
    // Separate timers: a step may open a box whose nested loop must still see it answered.
    QTimer m_stepTimer;
    QTimer m_boxTimer;
    QList<QMessageBox::StandardButton> m_answers;
    QList<Step> m_steps;
};
