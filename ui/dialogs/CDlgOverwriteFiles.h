#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// "Question": lists the files that already exist in the destination folder and asks whether
// to overwrite them all (IDOK) or leave them all alone (IDCANCEL).
class CDlgOverwriteFiles final : public QDialog
{
    Q_OBJECT

public:
    explicit CDlgOverwriteFiles(QWidget *pParent = nullptr);

    // fileList is read while the dialog is open and not kept.
    int ShowModal(const QStringList &fileList);

    // For tests and screenshots.
    QListWidget *Names() const { return m_pList; }

public Q_SLOTS:
    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent *pEvent) override;

private:
    const QStringList *m_pFileList = nullptr;
    QListWidget *m_pList;
};
