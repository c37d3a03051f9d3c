#pragma once
#include <QLabel>

// A label that draws its text shortened with an ellipsis so that it fits its width on one
// line; text() keeps the whole text.
class QElideLabel : public QLabel
{
    Q_OBJECT
public:
    explicit QElideLabel(QWidget *parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
    ~QElideLabel() override;

    // Hides QLabel::setText (not virtual) so the drawn form follows the text.
    void setText(const QString &text);
    // Takes effect with the next setText or resize.
    void setElideMode(Qt::TextElideMode mode);
    Qt::TextElideMode elideMode() const { return Qt::TextElideMode(m_elideMode); }
    void updateElidedText(int width);
    QString elidedText() const { return m_elidedText; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    qint32 m_elideMode = Qt::ElideRight;
    QString m_elidedText;
};
