// tarvelo-sampledata: writes a folder tree like a real instrument's, for the stand-in
// instrument to serve: runs of TIFF images in every layout, PDF reports, logs and folders
// with awkward names.
#include "tools/sampledata/report.h"
#include "tools/sampledata/scenes.h"
#include "tools/sampledata/tiffout.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>
#include <functional>

namespace {

struct ImageJob
{
    QString name;
    int width;
    int height;
    TiffFormat format;
    std::function<void(Canvas &)> paint;
    QString channel;
    double micronsPerPixel;
    double refX, refY;
};

class Generator
{
public:
    Generator(const QString &root, bool large) : m_root(root), m_large(large) {}

    bool run();
    QString error() const { return m_error; }

private:
    bool folder(const QString &relative);
    bool image(const QString &folder, const ImageJob &job, const QString &run, const QString &date,
               RunReport *report);
    bool text(const QString &relative, const QByteArray &content);
    bool runFolder(const QString &name, const QString &date, unsigned seed, bool tissue);

    QString m_root;
    bool m_large;
    QString m_error;
    int m_files = 0;
};

QByteArray description(const ImageJob &job, const QString &run, const QString &date,
                       quint16 min, quint16 max)
{
    const bool sixteen = job.format.layout == Layout::Grey16 || job.format.layout == Layout::Rgb16;
    const QStringList items{
        QStringLiteral("Software Version: 1.2.0"),
        QStringLiteral("Reference Position: X %1 Y %2").arg(job.refX, 0, 'f', 1).arg(job.refY, 0, 'f', 1),
        QStringLiteral("Min. F: %1").arg(min),
        QStringLiteral("Max. F: %1").arg(max),
        QStringLiteral("Acquisition Date: %1").arg(date),
        QStringLiteral("Run: %1").arg(run),
        QStringLiteral("Channel: %1").arg(job.channel),
        QStringLiteral("Exposure Time: %1 ms").arg(sixteen ? 40 : 20),
        QStringLiteral("Gain: %1").arg(sixteen ? QStringLiteral("1.0") : QStringLiteral("2.0")),
        QStringLiteral("Objective: 10x / 0.30"),
        QStringLiteral("Pixel Size: %1 um").arg(job.micronsPerPixel, 0, 'f', 3),
        QStringLiteral("Image Size: %1 x %2").arg(job.width).arg(job.height),
        QStringLiteral("Bit Depth: %1").arg(sixteen ? 16 : 8),
    };
    return items.join(QStringLiteral(", ")).toUtf8();
}

QVector<double> histogram(const Canvas &canvas)
{
    QVector<double> bins(128, 0.0);
    const int step = std::max(1, canvas.width / 512);
    for (int y = 0; y < canvas.height; y += step)
        for (int x = 0; x < canvas.width; x += step)
            bins[std::min(127, int(canvas.luminance(x, y) * 128))] += 1;
    return bins;
}

bool Generator::folder(const QString &relative)
{
    if (QDir(m_root).mkpath(relative))
        return true;
    m_error = QStringLiteral("cannot create the folder %1").arg(QDir(m_root).filePath(relative));
    return false;
}

bool Generator::text(const QString &relative, const QByteArray &content)
{
    QSaveFile file(QDir(m_root).filePath(relative));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        m_error = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    ++m_files;
    return true;
}

bool Generator::image(const QString &folderPath, const ImageJob &job, const QString &run,
                      const QString &date, RunReport *report)
{
    Canvas canvas(job.width, job.height);
    job.paint(canvas);
    Scenes::annotate(canvas, QStringLiteral("%1 \u00b7 %2").arg(run, job.name), job.micronsPerPixel);
    quint16 min = 0, max = 0;
    sampleRange(canvas, job.format, &min, &max);
    const QString path = QDir(m_root).filePath(folderPath + QLatin1Char('/') + job.name);
    if (!writeTiff(path, canvas, job.format, description(job, run, date, min, max), &m_error))
        return false;
    ++m_files;
    std::printf("  %s (%s%s, %d x %d)\n", qPrintable(folderPath + QLatin1Char('/') + job.name),
                qPrintable(layoutName(job.format.layout)), job.format.lzw ? ", LZW" : "", job.width, job.height);
    if (report) {
        const bool grey = job.format.layout == Layout::Grey8 || job.format.layout == Layout::Grey16;
        if (report->images.isEmpty())
            report->histogram = histogram(canvas);
        report->images.append({job.name,
                               layoutName(job.format.layout) + (job.format.lzw ? QStringLiteral(", LZW") : QString()),
                               job.width, job.height,
                               grey ? canvas.preview(400).convertToFormat(QImage::Format_Grayscale8)
                                    : canvas.preview(400)});
    }
    return true;
}

TiffFormat format(Layout layout, bool lzw, quint16 low = 0, quint16 high = 65535)
{
    TiffFormat s;
    s.layout = layout;
    s.lzw = lzw;
    s.low = low;
    s.high = high;
    return s;
}

bool Generator::runFolder(const QString &name, const QString &date, unsigned seed, bool tissue)
{
    if (!folder(name))
        return false;
    RunReport report;
    report.title = QStringLiteral("TARVELO Run Report");
    report.run = name;
    report.date = date;
    report.operatorName = QStringLiteral("anonymous");
    report.notes << (tissue ? QStringLiteral("Specimen: stained tissue section, bright field")
                            : QStringLiteral("Specimen: cultured cells, fluorescence"));

    auto scene = [seed, tissue](unsigned offset) {
        return [seed, tissue, offset](Canvas &c) {
            tissue ? Scenes::tissue(c, seed + offset) : Scenes::cells(c, seed + offset);
        };
    };
    const QString prefix = tissue ? QStringLiteral("tissue") : QStringLiteral("cells");
    const QVector<ImageJob> jobs{
        {prefix + QStringLiteral("_overview_grey8.tif"), 1024, 768, format(Layout::Grey8, false), scene(0), QStringLiteral("DAPI"), 0.65, 12.5, 3.0},
        {prefix + QStringLiteral("_overview_rgb8.tif"), 1024, 768, format(Layout::Rgb8, true), scene(0), QStringLiteral("Merge"), 0.65, 12.5, 3.0},
        {prefix + QStringLiteral("_detail_grey16.tif"), 1024, 768, format(Layout::Grey16, false, 120, 3400), scene(1), QStringLiteral("FITC"), 0.325, 14.2, 4.1},
        {prefix + QStringLiteral("_detail_rgb16.tif"), 1024, 768, format(Layout::Rgb16, true, 800, 61000), scene(1), QStringLiteral("Merge"), 0.325, 14.2, 4.1},
        {prefix + QStringLiteral("_wide_rgb8.tif"), 1600, 1200, format(Layout::Rgb8, false), scene(2), QStringLiteral("Merge"), 1.3, 8.0, -2.5},
    };
    for (const ImageJob &job : jobs)
        if (!image(name, job, name, date, &report))
            return false;

    // Tiles of a scan, one level down per position.
    for (int position = 1; position <= 2; ++position) {
        const QString tiles = name + QStringLiteral("/Positions/Position %1").arg(position, 2, 10, QLatin1Char('0'));
        if (!folder(tiles))
            return false;
        const ImageJob grey{QStringLiteral("tile_%1_grey16.tif").arg(position, 2, 10, QLatin1Char('0')), 640, 480,
                            format(Layout::Grey16, true, 200, 4000), scene(10 + position), QStringLiteral("FITC"), 0.65,
                            10.0 + position * 0.4, 3.0};
        const ImageJob colour{QStringLiteral("tile_%1_rgb8.tif").arg(position, 2, 10, QLatin1Char('0')), 640, 480,
                              format(Layout::Rgb8, false), scene(10 + position), QStringLiteral("Merge"), 0.65,
                              10.0 + position * 0.4, 3.0};
        if (!image(tiles, grey, name, date, nullptr) || !image(tiles, colour, name, date, nullptr))
            return false;
    }

    QString error;
    if (!writeReport(QDir(m_root).filePath(name + QStringLiteral("/report.pdf")), report, &error)) {
        m_error = error;
        return false;
    }
    ++m_files;
    QByteArray log;
    const QStringList events{
        QStringLiteral("run started by anonymous"), QStringLiteral("stage homed, reference position X 12.5 Y 3.0"),
        QStringLiteral("autofocus done, z = 1523.4 um"), QStringLiteral("channel DAPI: exposure 20 ms, gain 2.0"),
        QStringLiteral("channel FITC: exposure 40 ms, gain 1.0"), QStringLiteral("5 images written"),
        QStringLiteral("scan of 2 positions written"), QStringLiteral("report written"), QStringLiteral("run finished")};
    for (int i = 0; i < events.size(); ++i)
        log += QStringLiteral("%1:%2 INFO %3\n").arg(date.left(16)).arg(10 + i * 4, 2, 10, QLatin1Char('0')).arg(events.at(i)).toUtf8();
    return text(name + QStringLiteral("/acquisition.log"), log);
}

bool Generator::run()
{
    std::printf("Writing sample data into %s\n", qPrintable(QDir::toNativeSeparators(m_root)));
    if (!folder(QStringLiteral(".")))
        return false;
    if (!runFolder(QStringLiteral("Run_2024-03-11_001"), QStringLiteral("2024-03-11 09:42:17"), 11, false)
        || !runFolder(QStringLiteral("Run_2024-03-12_002"), QStringLiteral("2024-03-12 14:05:51"), 23, true))
        return false;

    // Calibration, with blanks in a folder name and a nested flat-field folder.
    const QString targets = QStringLiteral("Calibration/Reference Targets");
    const QString flat = targets + QStringLiteral("/Flat Field");
    if (!folder(flat))
        return false;
    const QString date = QStringLiteral("2024-03-10 08:00:03");
    const QString calibration = QStringLiteral("Calibration");
    const QVector<ImageJob> targetJobs{
        {QStringLiteral("target_grey8.tif"), 1200, 900, format(Layout::Grey8, true), Scenes::target, QStringLiteral("Bright field"), 0.5, 0.0, 0.0},
        {QStringLiteral("target_rgb8.tif"), 1200, 900, format(Layout::Rgb8, false), Scenes::target, QStringLiteral("Bright field"), 0.5, 0.0, 0.0},
        {QStringLiteral("target_grey16.tif"), 1200, 900, format(Layout::Grey16, true, 64, 16320), Scenes::target, QStringLiteral("Bright field"), 0.5, 0.0, 0.0},
        {QStringLiteral("target_rgb16.tif"), 1200, 900, format(Layout::Rgb16, false, 0, 65535), Scenes::target, QStringLiteral("Bright field"), 0.5, 0.0, 0.0},
    };
    for (const ImageJob &job : targetJobs)
        if (!image(targets, job, calibration, date, nullptr))
            return false;
    const QVector<ImageJob> flatJobs{
        {QStringLiteral("flat_field_grey16.tif"), 1024, 768, format(Layout::Grey16, false, 300, 60000), Scenes::gradients, QStringLiteral("Bright field"), 0.65, 0.0, 0.0},
        {QStringLiteral("flat_field_rgb8.tif"), 1024, 768, format(Layout::Rgb8, true), Scenes::gradients, QStringLiteral("Bright field"), 0.65, 0.0, 0.0},
    };
    for (const ImageJob &job : flatJobs)
        if (!image(flat, job, calibration, date, nullptr))
            return false;
    if (m_large) {
        if (!folder(QStringLiteral("Calibration/Large")))
            return false;
        const ImageJob large{QStringLiteral("target_4096x4096_grey16.tif"), 4096, 4096, format(Layout::Grey16, false, 0, 65535),
                             Scenes::target, QStringLiteral("Bright field"), 0.125, 0.0, 0.0};
        if (!image(QStringLiteral("Calibration/Large"), large, calibration, date, nullptr))
            return false;
    }

    // Non-ASCII names.
    const QString series = QStringLiteral("Messreihe M\u00fcller/Probe \u00c41");
    if (!folder(series))
        return false;
    const QString seriesRun = QStringLiteral("Messreihe M\u00fcller");
    const QString seriesDate = QStringLiteral("2024-03-13 11:20:40");
    RunReport summary;
    summary.title = QStringLiteral("\u00dcbersicht \u2013 Messreihe M\u00fcller");
    summary.run = seriesRun;
    summary.date = seriesDate;
    summary.operatorName = QStringLiteral("J. M\u00fcller");
    const QVector<ImageJob> seriesJobs{
        {QStringLiteral("probe_\u00e41_grey8.tif"), 800, 600, format(Layout::Grey8, false), [](Canvas &c) { Scenes::cells(c, 77); }, QStringLiteral("DAPI"), 0.65, 2.0, 7.5},
        {QStringLiteral("probe_\u00e41_rgb16.tif"), 800, 600, format(Layout::Rgb16, true, 100, 30000), [](Canvas &c) { Scenes::cells(c, 78); }, QStringLiteral("Merge"), 0.65, 2.0, 7.5},
    };
    for (const ImageJob &job : seriesJobs)
        if (!image(series, job, seriesRun, seriesDate, &summary))
            return false;
    QString error;
    if (!writeReport(QDir(m_root).filePath(QStringLiteral("Messreihe M\u00fcller/\u00dcbersicht.pdf")), summary, &error)) {
        m_error = error;
        return false;
    }
    ++m_files;

    if (!folder(QStringLiteral("Exports"))) // left empty on purpose
        return false;
    const QByteArray systemLog =
        "2024-03-10 07:58:41 INFO instrument started, software version 1.2.0\n"
        "2024-03-10 07:58:44 INFO network ready on port 30000\n"
        "2024-03-10 08:00:03 INFO calibration targets written\n"
        "2024-03-11 09:41:02 INFO login: anonymous\n"
        "2024-03-11 09:55:12 WARN stage temperature 31.2 C, above 30.0 C\n"
        "2024-03-12 14:04:40 INFO login: anonymous\n"
        "2024-03-13 11:19:55 INFO login: mueller\n";
    if (!text(QStringLiteral("system.log"), systemLog))
        return false;
    std::printf("%d files written.\n", m_files);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // Fonts and PDF writing need a GUI application, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvelo-sampledata"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes sample data like a TARVELO instrument's into FOLDER: runs of TIFF images in every\n"
        "layout (8- and 16-bit, grey and RGB, some LZW-compressed) with their descriptions, PDF\n"
        "reports, logs, nested and empty folders and names with blanks and non-ASCII letters.\n"
        "Existing files of the same names are replaced."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("Where to write (created if missing)."));
    const QCommandLineOption noLarge(QStringLiteral("no-large"),
                                     QStringLiteral("Leave out the 4096 x 4096 16-bit image (32 MiB)."));
    parser.addOption(noLarge);
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "tarvelo-sampledata: give one FOLDER; see --help\n");
        return 2;
    }
    Generator generator(QDir(parser.positionalArguments().first()).absolutePath(), !parser.isSet(noLarge));
    if (!generator.run()) {
        std::fprintf(stderr, "tarvelo-sampledata: %s\n", qPrintable(generator.error()));
        return 1;
    }
    return 0;
}
