#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Save files to...": asks for the destination folder of a download. Shows the remembered
// folder; OK accepts only an existing folder, remembers it as typed and leaves it in m_strPath
// with a trailing "/". Ends with IDOK or IDCANCEL.
class CDlgSaveTo final : public QDialog
{
    Q_OBJECT

public:
    explicit CDlgSaveTo(QWidget *pParent = nullptr);

    // The destination folder, ending with "/", once the dialog has ended with IDOK.
    QString m_strPath;

    // For tests and screenshots.
    QLineEdit *PathEdit() const { return m_pEdit; }

public Q_SLOTS:
    void accept() override;
    void reject() override;

private:
    void OnBrowse();

    QLineEdit *m_pEdit;
    QPushButton *m_pBrowse;
};
