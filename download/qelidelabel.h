#pragma once
#include <QLabel>

// Stub: filled in by the download work.
class QElideLabel : public QLabel
{
    Q_OBJECT
public:
    explicit QElideLabel(QWidget *parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
};
