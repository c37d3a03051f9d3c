#pragma once
#include <QDialog>

class MeasureModel;
class ProfilePlot;
class QLabel;
class QSpinBox;

// The line profile in a window of its own beside the browser: the plot with its cursor
// read-out, the line's width, and the profile copied or saved as CSV, the plot as PNG.
class ProfileWindow : public QDialog
{
    Q_OBJECT
public:
    ProfileWindow(MeasureModel *model, QWidget *parent = nullptr);

    ProfilePlot *plot() const { return m_plot; }
    // Write with a replace that never leaves half a file; false with a message shown.
    bool saveCsv(const QString &path);
    bool savePng(const QString &path);

public slots:
    void refresh();
    void copy();

private:
    void askAndSave(bool png);
    bool failed(const QString &path, const QString &why);

    MeasureModel *m_model;
    ProfilePlot *m_plot;
    QLabel *m_title;
    QLabel *m_cursor;
    QSpinBox *m_width;
};
