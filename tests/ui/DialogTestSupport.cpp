#include "DialogTestSupport.h"

#include "link/Frame.h"
#include "protocol/RecorderFileEntry.h"
#include "resources/BuiltInEnglish.h"
#include "sim/RecorderEmulator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>

#include <chrono>
#include <thread>

EnglishTextSource::EnglishTextSource()
{
    for (const BuiltInText &text : BuiltInEnglishTexts())
        m_texts.insert(text.nId, QString::fromUtf8(text.pszText));
}

QString EnglishTextSource::Text(quint32 nId) const
{
    return m_texts.value(nId);
}

GatedTransport::GatedTransport(RecorderEmulator &emulator)
    : m_emulator(emulator)
{}

void GatedTransport::HoldAt(quint16 nCode, int nOccurrence)
{
    std::lock_guard lock(m_mutex);
    m_nHoldCode = nCode;
    m_nHoldOccurrence = nOccurrence;
    m_bReleased = false;
}

void GatedTransport::Release()
{
    {
        std::lock_guard lock(m_mutex);
        m_bReleased = true;
        m_nHoldCode = 0;
    }
    m_cond.notify_all();
}

QList<quint16> GatedTransport::SentCodes() const
{
    std::lock_guard lock(m_mutex);
    return m_sentCodes;
}

bool GatedTransport::Open(LinkOpenFailure * /*pFailure*/)
{
    return !m_bGone;
}

bool GatedTransport::Write(const quint8 *pData, qsizetype nLen, int /*nTimeoutMs*/)
{
    if (m_bGone || nLen < qsizetype(Frame::HEADER_SIZE))
        return false;
    // Every write carries one whole frame, so its code sits in the first block.
    const quint16 nCode = quint16(pData[Frame::OFFSET_CODE] | (pData[Frame::OFFSET_CODE + 1] << 8));
    {
        std::unique_lock lock(m_mutex);
        m_sentCodes.append(nCode);
        if (m_nHoldCode == nCode && m_sentCodes.count(nCode) == m_nHoldOccurrence) {
            m_bHeld = true;
            m_cond.wait(lock, [this] { return m_bReleased; });
            m_bHeld = false;
        }
    }
    if (m_bGone)
        return false;
    m_emulator.HostWrite(pData, nLen);
    return true;
}

qsizetype GatedTransport::Read(quint8 *pData, qsizetype nMax, int nTimeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    while (!m_bGone) {
        if (m_emulator.Available() > 0)
            return m_emulator.HostRead(pData, nMax);
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return -1;
}

void RecordingSink::AddItem(int nIndex, const RecorderFileEntry &entry)
{
    indexes.append(nIndex);
    names.insert(nIndex, entry.Name());
}

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
    // By index: an action may add steps.
    for (qsizetype i = 0; i < m_steps.size(); ++i) {
        if (!m_steps[i].bDone && m_steps[i].condition()) {
            m_steps[i].bDone = true;
            const std::function<void()> action = m_steps[i].action;
            action();
        }
    }
}

void ModalDriver::AnswerBox()
{
    auto *pBox = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!pBox || pBox->property("answered").toBool())
        return;
    pBox->setProperty("answered", true);
    boxes.append({pBox->text(), pBox->windowTitle(), pBox->icon()});
    const QMessageBox::StandardButton answer = m_answers.isEmpty() ? QMessageBox::Ok : m_answers.takeFirst();
    if (QAbstractButton *pButton = pBox->button(answer))
        pButton->click();
}

QByteArray WriteTestFile(const QString &strPath, int nSize, int nSeed)
{
    QByteArray data(nSize, Qt::Uninitialized);
    quint32 nState = quint32(nSeed) * 2654435761u + 1;
    for (int i = 0; i < nSize; ++i) {
        nState = nState * 1103515245u + 12345u;
        data[i] = char(nState >> 16);
    }
    QFile file(strPath);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
    return data;
}
