#pragma once
// The login dialog's widgets, with the object names the name-based slot connection uses.
class QCheckBox;
class QDialog;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace Ui {

struct LoginDialog
{
    QWidget *widget = nullptr;
    QHBoxLayout *horizontalLayout_3 = nullptr;
    QHBoxLayout *horizontalLayout_2 = nullptr;
    QVBoxLayout *verticalLayout_2 = nullptr;
    QLabel *LABEL_SERVER_IP_ADDRESS = nullptr;
    QLabel *LABEL_ACCOUNT = nullptr;
    QLabel *LABEL_PASSWORD = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QLineEdit *EDIT_ADDRESS[4] = {};
    QLineEdit *EDIT_ACCOUNT = nullptr;
    QLineEdit *EDIT_PASSWORD = nullptr;
    QCheckBox *CHECKBOX_ANONYMOUS = nullptr;
    QLabel *LABEL_CURRENT_STATE = nullptr;
    QLabel *LABEL_STATE_DETAIL = nullptr; // why the state is what it is, under it
    QPushButton *BUTTON_CONNECT = nullptr;
    QPushButton *BUTTON_CANCEL = nullptr;

    void setupUi(QDialog *dialog);
};

} // namespace Ui
