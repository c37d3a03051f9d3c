#pragma once
#include <QFont>
#include <QString>

class QDialog;
class QLabel;
class QVBoxLayout;

// The look the program's notices share: frameless and dark, kept over the window they
// belong to, a bold centred message between stretches and the buttons below it.
namespace NoticeLook {

// Sets the dialog up and returns its message label; the caller adds its buttons to the end
// of *layout.
QLabel *setUp(QDialog *dialog, const QString &objectName, QVBoxLayout **layout);

// The bold face of the message and the buttons.
QFont boldFont();

} // namespace NoticeLook
