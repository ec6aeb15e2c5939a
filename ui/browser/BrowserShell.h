#pragma once

#include "ui/browser/IBrowserShell.h"

class QWidget;

// The program's answers to the file browser's requests: message boxes and the file-open
// prompt over the view, the desktop's default application, and the information pane.
class BrowserShell final : public IBrowserShell
{
public:
    explicit BrowserShell(QWidget &view);

    int ShowMessage(const QString &strText, Icon icon, Buttons buttons) override;
    QString ChooseFileToUpload() override;
    void OpenWithDesktop(const QString &strPath) override;
    void ShowInfoText(const QString &strText) override;
    void ShowStatusText(const QString &strText) override;

private:
    QWidget &m_view;
};
