#include "help/aboutdialog.h"

#include "app/style.h"
#include "ui_aboutdialog.h"

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
    setWindowTitle(QStringLiteral("TARVELO") + kTradeMark + QStringLiteral(" Utility:: About"));
    setStyleSheet(QString::fromLatin1(Style::kDialogStyle));
    m_ui->plainTextEdit->setPlainText(aboutText());
}

AboutDialog::~AboutDialog()
{
    delete m_ui;
}

QString AboutDialog::aboutText()
{
    const QString version = QStringLiteral("Version: ")
        + QStringLiteral("v%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch)
        + QStringLiteral(" (") + QString::number(kBuildBits) + QStringLiteral("-bit)");
    const QString company = QString::fromLatin1(kCompany);
    const QString product = company + QStringLiteral(" TARVELO") + kTradeMark + QStringLiteral(" Utility");
    const QString rights = QStringLiteral("Copyright %1 %2 %3. All rights reserved.")
                               .arg(QChar(0x00A9)).arg(kRightsYear).arg(company);
    return version + QLatin1Char('\n') + product + QLatin1Char('\n') + rights;
}

void AboutDialog::on_pushButton_clicked()
{
    reject();
}
