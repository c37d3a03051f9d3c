#pragma once
#include <QFrame>

// Stub: filled in by the viewer work.
class ImageFrame : public QFrame
{
    Q_OBJECT
public:
    explicit ImageFrame(QWidget *parent = nullptr);
};
