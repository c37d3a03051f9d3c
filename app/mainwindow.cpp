#include "app/mainwindow.h"

#include "app/mainwindowui.h"
#include "download/downloadreceiver.h"
#include "help/helplauncher.h"

#include <QMetaObject>
#include <QTcpSocket>

// Stub: filled in by the application shell work.
MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent, Qt::CustomizeWindowHint), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    setUpDownload();
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::mousePressEvent(QMouseEvent *event) { QMainWindow::mousePressEvent(event); }
void MainWindow::mouseDoubleClickEvent(QMouseEvent *event) { QMainWindow::mouseDoubleClickEvent(event); }
void MainWindow::mouseMoveEvent(QMouseEvent *event) { QMainWindow::mouseMoveEvent(event); }
void MainWindow::resizeEvent(QResizeEvent *event) { QMainWindow::resizeEvent(event); }
void MainWindow::closeEvent(QCloseEvent *event) { QMainWindow::closeEvent(event); }
void MainWindow::showEvent(QShowEvent *event) { QMainWindow::showEvent(event); }
void MainWindow::slotSetDownloadFolder() {}
void MainWindow::slotAboutAction() { m_aboutDialog.show(); }
void MainWindow::slotSplitterMoved(int, int) {}
void MainWindow::on_pushButton_3_clicked() { showMinimized(); }
void MainWindow::on_pushButton_2_clicked() { isMaximized() ? showNormal() : showMaximized(); }
void MainWindow::on_pushButton_clicked() { close(); }
void MainWindow::Connect() {}
void MainWindow::Disconnect() {}
void MainWindow::showDocumentation() {}
void MainWindow::onLinkLost() {}

void MainWindow::sendLine(const QByteArray &line)
{
    if (m_socket)
        m_socket->write(line);
}
