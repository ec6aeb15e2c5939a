#pragma once

#include "core/ITextSource.h"
#include "link/ITransport.h"
#include "ui/dialogs/IRecorderContentSink.h"

#include <QHash>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

class RecorderEmulator;

// The built-in English texts as the active resource set.
class EnglishTextSource final : public ITextSource
{
public:
    EnglishTextSource();
    QString Text(quint32 nId) const override;

private:
    QHash<quint32, QString> m_texts;
};

// The emulated recorder behind a transport the test can hold at a chosen request (the worker
// waits inside Write until released) and can unplug.
class GatedTransport final : public ITransport
{
public:
    explicit GatedTransport(RecorderEmulator &emulator);

    // Holds the worker when it sends the nOccurrence-th frame (1-based) with nCode.
    void HoldAt(quint16 nCode, int nOccurrence);
    bool IsHeld() const { return m_bHeld; }
    void Release();
    // From now on every transfer fails and the recorder counts as gone.
    void Unplug() { m_bGone = true; }
    // Codes of every frame the host sent, in order (safe to read once the worker is joined).
    QList<quint16> SentCodes() const;

    bool Open(LinkOpenFailure *pFailure) override;
    void Close() override {}
    bool IsOpen() const override { return true; }
    bool Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs) override;
    qsizetype Read(quint8 *pData, qsizetype nMax, int nTimeoutMs) override;
    bool IsGone() const override { return m_bGone; }

private:
    RecorderEmulator &m_emulator;
    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    quint16 m_nHoldCode = 0;
    int m_nHoldOccurrence = 0;
    bool m_bReleased = false;
    std::atomic<bool> m_bHeld{false};
    std::atomic<bool> m_bGone{false};
    QList<quint16> m_sentCodes;
};

// Records what the connect dialog relays to the view.
class RecordingSink final : public IRecorderContentSink
{
public:
    void RemoveAll() override
    {
        ++nRemoveAll;
        names.clear();
    }
    void AddItem(int nIndex, const RecorderFileEntry &entry) override;
    void SetInfoText(const QString &strText) override { infoTexts.append(strText); }

    int nRemoveAll = 0;
    QStringList names;
    QList<int> indexes;
    QStringList infoTexts;
};

// What a message box showed before the test answered it.
struct SeenBox
{
    QString strText;
    QString strTitle;
    QMessageBox::Icon icon;
};

// Drives modal dialogs from inside their event loops: answers each message box that comes up
// (OK unless told otherwise) and runs steps once their condition holds.
class ModalDriver final : public QObject
{
    Q_OBJECT

public:
    ModalDriver();

    // The next message boxes are answered with these buttons, in order; then OK.
    void AnswerNextBoxes(QList<QMessageBox::StandardButton> buttons) { m_answers = std::move(buttons); }
    // Runs action once, the first time condition holds (checked every few milliseconds).
    void When(std::function<bool()> condition, std::function<void()> action);

    QList<SeenBox> boxes;

private:
    void RunSteps();
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

// Creates a file of nSize pseudo-random bytes; returns its contents.
QByteArray WriteTestFile(const QString &strPath, int nSize, int nSeed = 1);
