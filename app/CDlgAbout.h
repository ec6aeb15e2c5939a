#pragma once

#include <QDialog>

// The program's name, version and maker.
class CDlgAbout final : public QDialog
{
    Q_OBJECT

public:
    explicit CDlgAbout(QWidget *pParent = nullptr);
};
