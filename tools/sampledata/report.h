#pragma once
#include <QImage>
#include <QString>
#include <QVector>

struct ReportImage
{
    QString name;
    QString layout; // "16-bit RGB, LZW" and so on
    int width = 0;
    int height = 0;
    QImage preview;
};

struct RunReport
{
    QString title;
    QString run;
    QString date;
    QString operatorName;
    QStringList notes;
    QVector<ReportImage> images;
    QVector<double> histogram; // luminance of the first image, any number of bins
};

// A one-page A4 PDF with the run's details, thumbnails and a histogram.
bool writeReport(const QString &path, const RunReport &report, QString *error);
