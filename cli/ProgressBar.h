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
    // --progress and --no-progress: on or off whatever the stream is.
    void SetEnabled(bool bEnabled) { m_bEnabled = bEnabled; }

    // A run of several files: the bar then shows the file's number, and the bytes, the rate
    // and the time left of the whole run. Without one it shows the current transfer only.
    void StartRun(int nFiles, quint64 nTotalBytes);
    void EndRun();
    // The next transfer; in a run, a file that starts without Finish after the last one
    // takes over its line (a check of many files keeps one line).
    void Start(const QString &strLabel);
    // Thread-safe; redraws at most every REDRAW_INTERVAL_MS except for the final report.
    void Update(quint32 nSoFar, quint32 nTotal);
    // Ends the line (when anything was drawn). bComplete draws the finished state first, so
    // that a transfer of an empty file also ends at 100%.
    void Finish(bool bComplete = false);

    // The text of the bar for a state, without the carriage return. With nColumns > 0 the
    // label is shortened in its middle so that the line stays within nColumns - 1 characters
    // (a line reaching the last column would wrap, and every redraw would add a line).
    static QString Render(const QString &strLabel, quint32 nSoFar, quint32 nTotal, int nColumns = 0,
                          bool bComplete = false);

    // Where a run of several files stands.
    struct RunState
    {
        int nFile = 0; // from 1
        int nFiles = 0;
        quint64 nDone = 0;
        quint64 nTotal = 0;
        double dBytesPerSecond = 0.0;
    };
    // "[2/5] NAME [####      ]  40% 12.0/30.0 MB 4.1 MB/s 0:04 left"
    static QString RenderRun(const QString &strLabel, const RunState &run, int nColumns = 0);

private:
    // The terminal's width, or a conventional 80 when it cannot be told.
    int Columns() const;
    void Draw(const QString &strLine);

    FILE *m_pStream;
    bool m_bEnabled;
    std::mutex m_mutex;
    QString m_strLabel;
    quint32 m_nTotal = 0;
    QElapsedTimer m_lastDraw;
    bool m_bDrawn = false;
    int m_nLastWidth = 0;
    // The run, when one was started.
    bool m_bRun = false;
    int m_nRunFiles = 0;
    int m_nRunFile = 0;
    quint64 m_nRunTotal = 0;
    quint64 m_nRunDoneBefore = 0; // bytes of the files finished in this run
    quint32 m_nFileDone = 0;
    QElapsedTimer m_runTimer;

    void DrawState(bool bComplete);
};
