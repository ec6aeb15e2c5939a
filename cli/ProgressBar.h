#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <mutex>

// A one-line transfer progress bar on a terminal. Disabled (drawing nothing) when its stream
// is not a terminal, so scripts and logs stay clean.
class ProgressBar final
{
    Q_DISABLE_COPY_MOVE(ProgressBar)

public:
    static constexpr int BAR_WIDTH = 30;
    static constexpr qint64 REDRAW_INTERVAL_MS = 100;

    // Enabled when pStream is a terminal.
    explicit ProgressBar(FILE *pStream);
    ProgressBar(FILE *pStream, bool bEnabled);

    bool IsEnabled() const { return m_bEnabled; }

    void Start(const QString &strLabel);
    // Thread-safe; redraws at most every REDRAW_INTERVAL_MS except for the final report.
    void Update(quint32 nSoFar, quint32 nTotal);
    // Ends the line (when anything was drawn).
    void Finish();

    // The text of the bar for a state, without the carriage return.
    static QString Render(const QString &strLabel, quint32 nSoFar, quint32 nTotal);

private:
    void Draw(const QString &strLine);

    FILE *m_pStream;
    bool m_bEnabled;
    std::mutex m_mutex;
    QString m_strLabel;
    QElapsedTimer m_lastDraw;
    bool m_bDrawn = false;
    int m_nLastWidth = 0;
};
