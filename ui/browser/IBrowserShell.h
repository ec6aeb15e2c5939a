#pragma once

#include <QString>

// What the file browser's commands ask of the window around them: message boxes, the file-open
// prompt, handing a file to the desktop to open, and the information pane's text. The program
// answers with widgets; tests answer as they choose, so the commands run without a window.
class IBrowserShell
{
public:
    enum class Icon { Warning, Question, Critical };
    enum class Buttons { Ok, OkCancel };

    virtual ~IBrowserShell() = default;

    // A message box with the application title as caption; returns IDOK or IDCANCEL.
    virtual int ShowMessage(const QString &strText, Icon icon, Buttons buttons) = 0;
    // The file-open prompt for an upload: the chosen file's full path, or empty when cancelled.
    virtual QString ChooseFileToUpload() = 0;
    // Opens a local file with the desktop's default application for its type, unchecked.
    virtual void OpenWithDesktop(const QString &strPath) = 0;
    // The recorder's information in the pane, lines kept as they are.
    virtual void ShowInfoText(const QString &strText) = 0;
    // The connection state in the pane, wrapped at its edge.
    virtual void ShowStatusText(const QString &strText) = 0;
};
