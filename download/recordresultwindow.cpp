#include "download/recordresultwindow.h"

#include "common/dialogplacement.h"
#include "common/noticelook.h"
#include "common/style.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString csvLine(const QStringList &fields)
{
    QStringList out;
    for (const QString &f : fields)
        out << csvField(f);
    return out.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

QString defaultSaveChooser(QWidget *parent, const QString &suggested)
{
    return QFileDialog::getSaveFileName(parent, RecordResultWindow::tr("Export as CSV"), suggested,
                                        RecordResultWindow::tr("CSV files (*.csv)"));
}

} // namespace

RecordResultWindow::RecordResultWindow(QWidget *parent)
    : QDialog(parent), m_saveChooser(defaultSaveChooser)
{
    setObjectName(QStringLiteral("RecordResultWindow"));
    // A window of its own with the system's frame: it is read at length, moved and resized.
    setWindowFlags(Qt::Window);
    setStyleSheet(QLatin1String(Style::kDialogStyle)
                  + QStringLiteral("QPushButton { padding: 0px 10px; }"
                                   "QLabel { color: rgb(255, 255, 255); }"
                                   "QTableWidget { background-color: rgb(250, 250, 250); color: black;"
                                   " selection-background-color: rgb(93, 140, 200); }"
                                   "QTableWidget:focus { border: 2px solid rgb(255, 210, 0); }"));
    resize(900, 520);
    DialogPlacement::follow(this);

    m_answer = new QLabel(this);
    m_answer->setObjectName(QStringLiteral("answer"));
    m_answer->setWordWrap(true);
    m_answer->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont big = NoticeLook::boldFont();
    big.setPointSize(11);
    m_answer->setFont(big);

    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("table"));
    m_table->setAccessibleName(tr("Files"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setSortingEnabled(true);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setAccessibleName(tr("Row numbers"));
    m_table->horizontalHeader()->setAccessibleName(tr("Columns"));
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto button = [this](const QString &text, const QString &name) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setFont(NoticeLook::boldFont());
        b->setMinimumSize(120, 30);
        b->setAutoDefault(false);
        return b;
    };
    m_copy = button(tr("Copy"), QStringLiteral("copyButton"));
    m_copy->setToolTip(tr("Copy the selected rows (all rows when none is selected) as text"));
    m_export = button(tr("Export as CSV…"), QStringLiteral("exportButton"));
    m_close = button(tr("Close"), QStringLiteral("closeButton"));
    connect(m_copy, &QPushButton::clicked, this, &RecordResultWindow::copy);
    connect(m_export, &QPushButton::clicked, this, &RecordResultWindow::exportCsv);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_copy);
    buttons->addWidget(m_export);
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(m_answer);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
}

void RecordResultWindow::showTable(const QString &title, const QString &answer,
                                   const QStringList &headers, const QVector<Row> &rows)
{
    setWindowTitle(title);
    m_answer->setText(answer);
    m_table->setSortingEnabled(false);
    m_table->clear();
    m_table->setColumnCount(headers.size());
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < headers.size(); ++c)
            m_table->setItem(r, c, new QTableWidgetItem(rows[r].value(c)));
    m_table->resizeColumnsToContents();
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(-1, Qt::AscendingOrder);
    show();
    raise();
    activateWindow();
}

QString RecordResultWindow::answer() const
{
    return m_answer->text();
}

QString RecordResultWindow::csv() const
{
    QStringList headers;
    for (int c = 0; c < m_table->columnCount(); ++c)
        headers << m_table->horizontalHeaderItem(c)->text();
    QString out = csvLine(headers);
    for (int r = 0; r < m_table->rowCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < m_table->columnCount(); ++c)
            fields << (m_table->item(r, c) ? m_table->item(r, c)->text() : QString());
        out += csvLine(fields);
    }
    return out;
}

QString RecordResultWindow::selectedText() const
{
    QList<int> rows;
    for (const QModelIndex &i : m_table->selectionModel()->selectedRows())
        rows << i.row();
    if (rows.isEmpty())
        for (int r = 0; r < m_table->rowCount(); ++r)
            rows << r;
    std::sort(rows.begin(), rows.end());
    QStringList lines{m_answer->text()};
    for (int r : rows) {
        QStringList fields;
        for (int c = 0; c < m_table->columnCount(); ++c)
            fields << (m_table->item(r, c) ? m_table->item(r, c)->text() : QString());
        lines << fields.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void RecordResultWindow::copy()
{
    QApplication::clipboard()->setText(selectedText());
}

void RecordResultWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RecordResultWindow::exportCsv()
{
    const QString suggested = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QStringLiteral("/verify.csv");
    const QString path = m_saveChooser(this, suggested);
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray bytes = csv().toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        QMessageBox::warning(this, tr("Export as CSV"),
                             tr("The table could not be saved to %1: %2").arg(path, file.errorString()));
}
