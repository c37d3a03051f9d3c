#include "viewer/imageattributedialog.h"

#include "viewer/attributetext.h"
#include "viewer/provenancesection.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace Ui {

void ImageAttributeDialog::setupUi(QDialog *dialog)
{
    dialog->setObjectName(QStringLiteral("ImageAttributeDialog"));
    dialog->setModal(false);
    dialog->resize(370, 302);
    dialog->setMouseTracking(false);
    dialog->setStyleSheet(QStringLiteral(
        "QDialog {\n\tbackground-color: rgb(93, 102, 117);\n\tborder: 1px solid rgb(178, 191, 210);\n}\n"
        "QPlainTextEdit {\n\tbackground-color: rgb(93, 102, 117);\n\tcolor: rgb(225, 225, 225);\n"
        "\tborder: 1px solid rgb(93, 102, 117);\n\tselection-background-color: rgb(93, 140, 200);\n}\n"
        "QPlainTextEdit:focus { border: 1px solid rgb(255, 210, 0); }\n"
        "QScrollBar:vertical { background: rgb(78, 86, 99); width: 12px; margin: 0; }\n"
        "QScrollBar::handle:vertical { background: rgb(178, 191, 210); min-height: 24px; }\n"
        "QScrollBar:horizontal { background: rgb(78, 86, 99); height: 12px; margin: 0; }\n"
        "QScrollBar::handle:horizontal { background: rgb(178, 191, 210); min-width: 24px; }\n"
        "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }\n"
        "QScrollBar::add-page, QScrollBar::sub-page { background: none; }\n"));
    verticalLayout = new QVBoxLayout(dialog);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    plainTextEdit = new QPlainTextEdit(dialog);
    plainTextEdit->setObjectName(QStringLiteral("plainTextEdit"));
    plainTextEdit->setAccessibleName(QCoreApplication::translate("ImageAttributeDialog", "Image description"));
    // Read-only but live: the text scrolls, can be selected and copied.
    plainTextEdit->setReadOnly(true);
    plainTextEdit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    plainTextEdit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    plainTextEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    plainTextEdit->setFont(QFont(QStringLiteral("Arial"), 10));
    verticalLayout->addWidget(plainTextEdit);
    dialog->setWindowTitle(QCoreApplication::translate("ImageAttributeDialog", "Attribute"));
}

} // namespace Ui

ImageAttributeDialog::ImageAttributeDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), m_ui(new Ui::ImageAttributeDialog)
{
    m_ui->setupUi(this);
    // No window type: the sheet is a plain child drawn inside the browser.
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
}

ImageAttributeDialog::~ImageAttributeDialog()
{
    delete m_ui;
}

void ImageAttributeDialog::showAttributes(const QString &folder, const QString &fileName)
{
    m_filePath = folder + QLatin1Char('/') + fileName;
    const QString text = attributeText(readImageDescription(m_filePath));
    // An empty grey box read as a fault of the program.
    m_ui->plainTextEdit->setPlainText(text.trimmed().isEmpty()
                                          ? QCoreApplication::translate("ImageAttributeDialog",
                                                                        "This image has no description.")
                                          : text);
    if (m_provenance)
        m_provenance->showFile(m_filePath);
}

void ImageAttributeDialog::setProvenanceSource(const ProvenanceSource &source)
{
    delete m_provenance;
    m_provenance = new ProvenanceSection(source, this);
    m_ui->verticalLayout->addWidget(m_provenance);
}

QString ImageAttributeDialog::text() const
{
    return m_ui->plainTextEdit->toPlainText();
}
