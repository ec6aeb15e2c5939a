#pragma once

#include "archive/ArchiveVerifier.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;

// What a check of the archive folder found: that every file matches, or the differences, each
// with its mark and reason; the state of the journal's chain; and the journal's head hash, which
// can be selected and copied to be written down. Fixed in size, with a Close button.
class VerifyResultDialog final : public QDialog
{
    Q_OBJECT

public:
    VerifyResultDialog(const ArchiveVerifier::Result &result, QWidget *pParent = nullptr);

    // The reason word a mark shows; empty for a match.
    static QString MarkReason(ArchiveVerifier::Mark eMark);
    // One line of the list: the mark, the name (filled out to nNameWidth) and its reason.
    static QString DifferenceLine(const ArchiveVerifier::Difference &difference, int nNameWidth = 0);

    // For tests and screenshots.
    QLabel *SummaryLabel() const { return m_pSummary; }
    QListWidget *DifferenceList() const { return m_pList; }
    QLabel *ChainLabel() const { return m_pChain; }
    QLineEdit *HeadHash() const { return m_pHead; }

private:
    QLabel *m_pSummary;
    QListWidget *m_pList;
    QLabel *m_pChain;
    QLineEdit *m_pHead;
};
