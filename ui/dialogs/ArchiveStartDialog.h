#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;

// "Archive new files": the archive folder (the remembered one, else ~/RecorderArchive) and
// whether to delete the archived files from the card. Start asks first when they are to be
// deleted, remembers both choices and leaves them in m_strFolder (absolute, ending with "/") and
// m_bDeleteAfter. A folder that does not exist yet is created by the run. Ends with IDOK or
// IDCANCEL.
class ArchiveStartDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit ArchiveStartDialog(QWidget *pParent = nullptr);

    QString m_strFolder;
    bool m_bDeleteAfter = false;

    // For tests and screenshots.
    QLineEdit *FolderEdit() const { return m_pEdit; }
    QCheckBox *DeleteCheck() const { return m_pDelete; }
    QPushButton *StartButton() const { return m_pStart; }

public Q_SLOTS:
    void accept() override;
    void reject() override;

private:
    void OnBrowse();
    // The folder as typed, absolute, "~" read as the home folder; empty when nothing is typed.
    QString TypedFolder() const;

    QLineEdit *m_pEdit;
    QCheckBox *m_pDelete;
    QPushButton *m_pStart;
};
