#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;

// The recorder information pane: a label over a read-only text box that shows the
// connection state or the recorder's device and card information. It decides nothing itself;
// the file browser and the connect dialog write its text.
class CUpPane final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CUpPane)

public:
    static constexpr int LABEL_HEIGHT = 25;

    explicit CUpPane(QWidget *pParent = nullptr);
    ~CUpPane() override;

    // Replaces the whole text of the information box. The recorder's texts keep their lines:
    // a long one runs past the edge.
    void SetInfoText(const QString &strText);
    // Replaces it with the program's own connection state, wrapped at the box's edge: a reason
    // that the recorder could not be opened is a sentence or two, to be read whole.
    void SetStatusText(const QString &strText);
    QString InfoText() const;

    QLabel *Label() const { return m_wndLabel; }
    QPlainTextEdit *InfoBox() const { return m_wndInfo; }

protected:
    void resizeEvent(QResizeEvent *pEvent) override;

private:
    QLabel *m_wndLabel = nullptr;
    QPlainTextEdit *m_wndInfo = nullptr;
};

// The one information pane of the program, set while it exists.
extern CUpPane *s_pUpPane;
