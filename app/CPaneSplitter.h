#pragma once

#include <QList>
#include <QRect>
#include <QWidget>

// Stacks (or lines up) panes with draggable bars between them. Each pane keeps a share of
// the space in units of 1/32768; a pane never becomes smaller than the minimum while there is
// room, and a drag moves one bar between its two neighbours' minimums.
class CPaneSplitter : public QWidget
{
    Q_OBJECT

public:
    static constexpr int SIDE_BY_SIDE = 1; // any other orientation stacks the panes
    static constexpr int STACKED = 2;
    static constexpr int FULL = 32768;

    CPaneSplitter(int nPanes, int nOrientation, int nMinPane, int nBar, QWidget *pParent = nullptr);
    ~CPaneSplitter() override;

    // Makes the window a child of the splitter in the band of pane nIndex. Not owned.
    void CreatePane(int nIndex, QWidget *pWindow);
    void SetPaneWeights(const QList<int> &weights);
    void LayoutPanes();
    void PositionPanes();
    virtual void SetPaneFocus(int nIndex);

    int PaneCount() const { return m_nPanes; }
    int Proportion(int nIndex) const { return m_proportions.at(nIndex); }
    int Position(int nIndex) const { return m_positions.at(nIndex); }
    QWidget *Pane(int nIndex) const { return m_panes.at(nIndex); }
    bool IsTracking() const { return m_bTracking; }
    // Where the tracker line is drawn while a bar is dragged.
    QRect TrackerRect() const;

protected:
    void resizeEvent(QResizeEvent *pEvent) override;
    void paintEvent(QPaintEvent *pEvent) override;
    void mousePressEvent(QMouseEvent *pEvent) override;
    void mouseMoveEvent(QMouseEvent *pEvent) override;
    void mouseReleaseEvent(QMouseEvent *pEvent) override;

private:
    bool SideBySide() const { return m_nOrientation == SIDE_BY_SIDE; }
    int Along(const QPoint &point) const { return SideBySide() ? point.x() : point.y(); }
    int ExtentAlong() const { return SideBySide() ? width() : height(); }
    int ExtentAcross() const { return SideBySide() ? height() : width(); }
    int SpaceForPanes() const { return ExtentAlong() - (m_nPanes - 1) * m_nBar; }
    static int PixelsOf(int nProportion, int nSpace);
    void ShowTracker();

    const int m_nPanes;
    const int m_nOrientation;
    const int m_nMinPane;
    const int m_nBar;
    int m_nTrackBar = 0;
    int m_nTrackPos = 0;
    int m_nTrackAcross = 0;
    int m_nGrabOffset = 0;
    bool m_bTracking = false;
    QList<QWidget *> m_panes;
    QList<int> m_proportions;
    QList<int> m_positions;
    QWidget *m_pTracker = nullptr;
};
