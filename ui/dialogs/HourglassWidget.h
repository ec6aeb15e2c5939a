#pragma once

#include <QPixmap>
#include <QWidget>

#include <array>

// The turning hourglass of the waiting dialogs: six 48 x 48 frames, one every 400 ms, drawn
// unscaled from the widget's top-left corner. It stands still once stopped.
class HourglassWidget final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int FRAME_COUNT = 6;
    static constexpr int PERIOD_MS = 400;

    explicit HourglassWidget(QWidget *pParent = nullptr);
    ~HourglassWidget() override;

    void StartAnimation();
    // Kills the timer if one runs; the current frame stays on show.
    void StopAnimation();

    bool IsTurning() const { return m_nTimerId != 0; }
    int Frame() const { return m_nFrame; }

protected:
    void timerEvent(QTimerEvent *pEvent) override;
    void paintEvent(QPaintEvent *pEvent) override;

private:
    std::array<QPixmap, FRAME_COUNT> m_frames;
    int m_nFrame = 0;
    int m_nTimerId = 0;
};
