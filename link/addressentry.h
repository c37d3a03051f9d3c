#pragma once
#include <QObject>
#include <QStringList>

class QLineEdit;
class QEvent;

// Makes four number boxes behave like one address entry: "." (or the keypad's decimal key)
// moves on to the next box, Backspace in an empty box goes back, and a dotted address that
// is pasted, dropped or middle-clicked into any box is spread over the boxes instead of
// being refused whole by the boxes' 0-255 validator.
class AddressEntry : public QObject
{
    Q_OBJECT
public:
    AddressEntry(QLineEdit *const (&boxes)[4], QObject *parent = nullptr);

    // The parts of a dotted text when it can go into the boxes from box `first` on: one
    // to four numbers from 0 to 255 (empty parts allowed), as many as the boxes left, or
    // exactly four, which always fill all boxes. Empty when it cannot.
    static QStringList split(const QString &text, int first, int *start);

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The user changed a box by any of the ways above.
    void edited();

private:
    int indexOf(QObject *watched) const;
    bool spread(int box, const QString &text);
    void focusBox(int box, bool selectAll);

    QLineEdit *m_boxes[4] = {};
};
