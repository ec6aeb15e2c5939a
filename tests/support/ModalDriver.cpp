#include "support/ModalDriver.h"

#include <QAbstractButton>

ModalDriver::ModalDriver()
{
    m_stepTimer.setInterval(5);
    connect(&m_stepTimer, &QTimer::timeout, this, &ModalDriver::RunSteps);
    m_stepTimer.start();
    m_boxTimer.setInterval(5);
    connect(&m_boxTimer, &QTimer::timeout, this, &ModalDriver::AnswerBox);
    m_boxTimer.start();
}

void ModalDriver::When(std::function<bool()> condition, std::function<void()> action)
{
    m_steps.append({std::move(condition), std::move(action)});
}

void ModalDriver::RunSteps()
{
    // Noted first: a step may close the window before the other timer has seen it.
    Note(QApplication::activeModalWidget());
    // By index: an action may add steps.
    for (qsizetype i = 0; i < m_steps.size(); ++i) {
        if (!m_steps[i].bDone && m_steps[i].condition()) {
            m_steps[i].bDone = true;
            const std::function<void()> action = m_steps[i].action;
            action();
        }
    }
}

void ModalDriver::Note(QWidget *pModal)
{
    // Marked, not remembered by address: a window seen again after a box over it is not new.
    if (!pModal || pModal->property("seenByModalDriver").toBool())
        return;
    pModal->setProperty("seenByModalDriver", true);
    modals.append(QString::fromLatin1(pModal->metaObject()->className()));
}

void ModalDriver::AnswerBox()
{
    QWidget *pModal = QApplication::activeModalWidget();
    Note(pModal);
    auto *pBox = qobject_cast<QMessageBox *>(pModal);
    if (!pBox || pBox->property("answered").toBool())
        return;
    pBox->setProperty("answered", true);
    boxes.append({pBox->text(), pBox->windowTitle(), pBox->icon()});
    const QMessageBox::StandardButton answer = m_answers.isEmpty() ? QMessageBox::Ok : m_answers.takeFirst();
    if (QAbstractButton *pButton = pBox->button(answer))
        pButton->click();
}
