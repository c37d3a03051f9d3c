#include "viewer/measuremodel.h"

#include "common/settings.h"

#include <QDir>

#include <algorithm>

MeasureModel::MeasureModel(QObject *parent) : QObject(parent) {}

MeasureModel::~MeasureModel()
{
    // A worker's result is posted to this object; once joined, nothing more can arrive.
    if (m_worker.joinable())
        m_worker.join();
}

void MeasureModel::setImage(std::shared_ptr<const DecodedImage> image, const Calibration &fileCalibration,
                            const QString &folder)
{
    const Calibration before = calibration();
    const bool sizeChanged = !m_image || !image || m_image->width != image->width || m_image->height != image->height;
    m_image = std::move(image);
    m_file = fileCalibration;
    if (folder != m_folder || m_folder.isEmpty())
        m_user = ScaleStore::scaleFor(folder);
    m_folder = folder;
    m_profileValid = m_statisticsValid = false;
    ++m_regionGeneration;
    // Paging through images of one size keeps the line and region, to compare like with like.
    if (sizeChanged)
        clearMeasurements();
    else {
        emit lineChanged();
        emit regionChanged();
    }
    if (!(calibration() == before))
        emit calibrationChanged();
}

bool MeasureModel::colourable() const
{
    return m_image && !m_image->palette && m_image->colourChannels == 1;
}

void MeasureModel::setUserScale(const Calibration &scale)
{
    m_user = scale.valid() ? scale : Calibration();
    ScaleStore::setScaleFor(m_folder, m_user);
    emit calibrationChanged();
    emit lineChanged();
    emit regionChanged();
}

void MeasureModel::setTool(Tool tool)
{
    if (tool == m_tool)
        return;
    m_tool = tool;
    emit toolChanged();
}

void MeasureModel::setLookupTable(LookupTable table)
{
    if (table == m_table)
        return;
    m_table = table;
    emit displayChanged();
}

void MeasureModel::setHiLo(bool on)
{
    if (on == m_hiLo)
        return;
    m_hiLo = on;
    emit displayChanged();
}

void MeasureModel::setScaleBar(bool on)
{
    if (on == m_scaleBar)
        return;
    m_scaleBar = on;
    emit displayChanged();
}

void MeasureModel::setLine(const QLineF &line)
{
    m_line = line;
    m_hasLine = true;
    m_profileValid = false;
    emit lineChanged();
}

void MeasureModel::setLineWidth(int width)
{
    width = std::clamp(width, 1, LineProfile::kMaxWidth);
    if (width == m_lineWidth)
        return;
    m_lineWidth = width;
    m_profileValid = false;
    emit lineChanged();
}

void MeasureModel::setRegion(const RegionShape &region)
{
    m_region = region;
    m_hasRegion = true;
    m_statisticsValid = false;
    ++m_regionGeneration;
    emit regionChanged();
}

void MeasureModel::clearMeasurements()
{
    const bool had = m_hasLine || m_hasRegion;
    m_hasLine = m_hasRegion = false;
    m_profileValid = m_statisticsValid = false;
    ++m_regionGeneration;
    m_profile = LineProfile();
    m_statistics = RegionStatistics();
    if (had) {
        emit lineChanged();
        emit regionChanged();
    }
}

const LineProfile &MeasureModel::profile()
{
    if (!m_profileValid) {
        m_profile = m_image && m_hasLine ? LineProfile::of(*m_image, m_line.p1(), m_line.p2(), m_lineWidth)
                                         : LineProfile();
        m_profileValid = true;
    }
    return m_profile;
}

const RegionStatistics &MeasureModel::regionStatistics()
{
    if (!m_statisticsValid) {
        m_statistics = m_image && m_hasRegion ? RegionStatistics::of(*m_image, m_region) : RegionStatistics();
        m_statisticsValid = true;
    }
    return m_statistics;
}

const RegionStatistics *MeasureModel::currentStatistics()
{
    if (m_statisticsValid)
        return &m_statistics;
    if (m_image && m_hasRegion) {
        const QRectF inside = m_region.bounds.normalized() & QRectF(0, 0, m_image->width, m_image->height);
        if (inside.width() * inside.height() > kSynchronousPixels) {
            startWorker();
            return nullptr;
        }
    }
    return &regionStatistics();
}

void MeasureModel::startWorker()
{
    if (m_workerBusy)
        return; // when it is done it starts again for the region as it is then
    if (m_worker.joinable())
        m_worker.join(); // done already: its result has been delivered
    m_workerBusy = true;
    m_worker = std::thread([this, image = m_image, region = m_region, generation = m_regionGeneration] {
        const RegionStatistics statistics = RegionStatistics::of(*image, region);
        QMetaObject::invokeMethod(this, [this, statistics, generation] { workerDone(statistics, generation); },
                                  Qt::QueuedConnection);
    });
}

void MeasureModel::workerDone(const RegionStatistics &statistics, quint64 generation)
{
    m_workerBusy = false;
    if (m_statisticsValid)
        return;
    if (generation == m_regionGeneration) {
        m_statistics = statistics;
        m_statisticsValid = true;
        emit statisticsReady();
    } else if (m_image && m_hasRegion) {
        startWorker();
    }
}

namespace ScaleStore {

namespace {
const std::string kGroup = "Image Scale";
std::string keyFor(const QString &folder)
{
    // Slashes would nest groups in the INI file; the folder stays readable without them.
    return QDir::cleanPath(folder).replace(QLatin1Char('/'), QLatin1Char('|')).toStdString();
}
} // namespace

Calibration scaleFor(const QString &folder)
{
    if (folder.isEmpty())
        return Calibration();
    std::string text;
    if (!Settings::readSetting(kGroup, keyFor(folder), std::string(), text, Settings::settingsFilePath()))
        return Calibration();
    // "<length of one pixel> <unit>"
    const QString value = QString::fromStdString(text);
    const int space = value.indexOf(QLatin1Char(' '));
    if (space <= 0)
        return Calibration();
    bool ok = false;
    const double size = value.left(space).toDouble(&ok);
    return ok ? calibrationFromScale(1.0, size, value.mid(space + 1)) : Calibration();
}

void setScaleFor(const QString &folder, const Calibration &scale)
{
    if (folder.isEmpty())
        return;
    const QString value = scale.valid() ? QString::number(scale.pixelWidth, 'g', 12) + QLatin1Char(' ') + scale.unit
                                        : QString();
    Settings::writeSetting(kGroup, keyFor(folder), value.toStdString(), Settings::settingsFilePath());
}

} // namespace ScaleStore
