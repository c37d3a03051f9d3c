#pragma once
#include "common/provenance.h"

#include <QDialog>

class ProvenanceSection;
class QPlainTextEdit;
class QVBoxLayout;

namespace Ui {
struct ImageAttributeDialog
{
    QVBoxLayout *verticalLayout = nullptr;
    QPlainTextEdit *plainTextEdit = nullptr;
    void setupUi(QDialog *dialog);
};
} // namespace Ui

// The attribute sheet: the acquisition details from a TIFF file's description, one item
// a line, read-only but scrollable, selectable and copyable. A child of the image
// browser, drawn inside it.
class ImageAttributeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ImageAttributeDialog(QWidget *parent = nullptr);
    ~ImageAttributeDialog() override;

    // A file without a description, or one libtiff cannot open, shows an empty sheet.
    void showAttributes(const QString &folder, const QString &fileName);

    QString filePath() const { return m_filePath; }
    QString text() const;
    QPlainTextEdit *textEdit() const { return m_ui->plainTextEdit; }
    // Adds the lines on where each file came from, below the description.
    void setProvenanceSource(const ProvenanceSource &source);
    ProvenanceSection *provenance() const { return m_provenance; }

private:
    Ui::ImageAttributeDialog *m_ui = nullptr;
    QString m_filePath;
    ProvenanceSection *m_provenance = nullptr;
};
