#include "help/aboutdialog.h"

#include "common/dialogplacement.h"
#include "common/style.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>

// The form, placed by hand like the program's other forms.
namespace Ui {
class AboutDialog
{
public:
    QPlainTextEdit *plainTextEdit = nullptr;
    QPushButton *pushButton = nullptr;

    void setupUi(QDialog *dialog)
    {
        if (dialog->objectName().isEmpty())
            dialog->setObjectName(QStringLiteral("AboutDialog"));
        dialog->resize(400, 200);
        dialog->setWindowTitle(QCoreApplication::translate("AboutDialog", "About TARVELO(TM) Utility"));
        QFont font(QStringLiteral("Arial"));
        font.setBold(true);

        plainTextEdit = new QPlainTextEdit(dialog);
        plainTextEdit->setObjectName(QStringLiteral("plainTextEdit"));
        plainTextEdit->setAccessibleName(::AboutDialog::tr("About this program"));
        plainTextEdit->setEnabled(false);
        plainTextEdit->setGeometry(QRect(20, 40, 361, 151));
        plainTextEdit->setFont(font);
        plainTextEdit->setStyleSheet(QStringLiteral(
            "QPlainTextEdit {\n\tbackground-color: rgb(88, 96, 109);\n\tcolor: rgb(255, 255, 255);\n"
            "\tborder: none;\n}"));

        pushButton = new QPushButton(dialog);
        pushButton->setObjectName(QStringLiteral("pushButton"));
        pushButton->setGeometry(QRect(159, 145, 80, 30));
        pushButton->setMinimumSize(QSize(80, 30));
        pushButton->setFont(font);
        pushButton->setText(QCoreApplication::translate("AboutDialog", "Close"));

        QMetaObject::connectSlotsByName(dialog);
    }
};
} // namespace Ui

namespace {
constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 2;
constexpr int kVersionPatch = 0;
// The width this very build was made for, not a fixed text.
constexpr int kBuildBits = int(sizeof(void *) * 8);
constexpr char kCompany[] = "Halvorine";
constexpr int kRightsYear = 2026;
const QChar kTradeMark(0x2122);
} // namespace

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), m_ui(new Ui::AboutDialog)
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(QStringLiteral("TARVELO") + kTradeMark + tr(" Utility:: About"));
    setStyleSheet(QString::fromLatin1(Style::kDialogStyle));
    m_ui->plainTextEdit->setPlainText(aboutText());
    DialogPlacement::follow(this);
}

AboutDialog::~AboutDialog()
{
    delete m_ui;
}

QString AboutDialog::aboutText()
{
    const QString version = tr("Version: ")
        + QStringLiteral("v%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch)
        + QStringLiteral(" (") + QString::number(kBuildBits) + QStringLiteral("-bit)");
    const QString company = QString::fromLatin1(kCompany);
    const QString product = company + QStringLiteral(" TARVELO") + kTradeMark + QStringLiteral(" Utility");
    const QString rights = tr("Copyright %1 %2 %3. All rights reserved.")
                               .arg(QChar(0x00A9)).arg(kRightsYear).arg(company);
    return version + QLatin1Char('\n') + product + QLatin1Char('\n') + rights;
}

void AboutDialog::on_pushButton_clicked()
{
    reject();
}
