#pragma once
#include <QDialog>
#include <QStringList>
#include <QVector>

#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

// The answers about a download folder's copies: one line on top that says whether all is
// well, and a table below that can be copied and saved as CSV. Verify, the instrument check
// and "Show record" all fill it.
class RecordResultWindow : public QDialog
{
    Q_OBJECT
public:
    using Row = QStringList;
    explicit RecordResultWindow(QWidget *parent = nullptr);

    void showTable(const QString &title, const QString &answer, const QStringList &headers,
                   const QVector<Row> &rows);
    QString answer() const;
    QTableWidget *table() const { return m_table; }

    // The CSV of the whole table, headers first (RFC 4180 quoting).
    QString csv() const;
    // Tab-separated text of the selected rows, or of all rows when none is selected.
    QString selectedText() const;

    // Supplies the file to save the CSV to; empty means the user cancelled. Tests set one.
    using SaveChooser = std::function<QString(QWidget *parent, const QString &suggested)>;
    void setSaveChooser(SaveChooser chooser) { m_saveChooser = std::move(chooser); }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void copy();
    void exportCsv();

    QLabel *m_answer = nullptr;
    QTableWidget *m_table = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_close = nullptr;
    SaveChooser m_saveChooser;
};
