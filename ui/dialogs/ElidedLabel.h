#pragma once

#include <QLabel>

// A single-line label that keeps its whole text but shows it cut with an ellipsis (at the end
// or in the middle) when it does not fit its width.
class ElidedLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(Qt::TextElideMode mode, QWidget *pParent = nullptr);

    // The text as drawn at the current width.
    QString ShownText() const;

protected:
    void paintEvent(QPaintEvent *pEvent) override;

private:
    Qt::TextElideMode m_mode;
};
