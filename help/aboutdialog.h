#pragma once
#include <QDialog>

// Stub: filled in by the help work.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);
};
