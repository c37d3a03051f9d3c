#pragma once
#include "viewer/calibration.h"
#include "viewer/decodedimage.h"
#include "viewer/lineprofile.h"
#include "viewer/lookuptable.h"
#include "viewer/regionstatistics.h"

#include <QLineF>
#include <QObject>

#include <atomic>
#include <memory>
#include <thread>

// What the image browser measures and how it colours, apart from any widget: the tool in
// hand, the line and its profile, the region and its statistics, the calibration in force
// (a scale set for the folder over the file's own), the lookup table, HiLo and the scale
// bar. Profile and statistics are worked out when asked for and kept until the line,
// the region or the image change.
class MeasureModel : public QObject
{
    Q_OBJECT
public:
    enum class Tool { Pan, Line, Rectangle, Ellipse };

    // Regions up to this many pixels are measured at once; larger ones on a worker
    // thread, so dragging them never holds up the window.
    static constexpr double kSynchronousPixels = 1 << 20;

    explicit MeasureModel(QObject *parent = nullptr);
    ~MeasureModel() override;

    // folder: where "Set Scale…" remembers its scale; fileCalibration: read from the file.
    void setImage(std::shared_ptr<const DecodedImage> image, const Calibration &fileCalibration,
                  const QString &folder);
    const DecodedImage *image() const { return m_image.get(); }
    QString folder() const { return m_folder; }

    Tool tool() const { return m_tool; }
    LookupTable lookupTable() const { return m_table; }
    bool hiLo() const { return m_hiLo; }
    bool scaleBar() const { return m_scaleBar; }
    // Tables apply to single-channel, non-palette images only.
    bool colourable() const;

    Calibration calibration() const { return m_user.valid() ? m_user : m_file; }
    Calibration fileCalibration() const { return m_file; }
    // Remembered for the folder in the settings file; an invalid one forgets it.
    void setUserScale(const Calibration &scale);

    bool hasLine() const { return m_hasLine; }
    QLineF line() const { return m_line; }
    int lineWidth() const { return m_lineWidth; }
    const LineProfile &profile();

    bool hasRegion() const { return m_hasRegion; }
    RegionShape region() const { return m_region; }
    const RegionStatistics &regionStatistics();
    // The statistics of the region as it is now when known; otherwise null, and they are
    // being worked out: statisticsReady() follows.
    const RegionStatistics *currentStatistics();

    // For the read-out and the clipboard, in the calibration's units.
    QString lineText() const;
    QString regionSummary();
    QString regionTable(); // a header row and a value row, tab-separated
    QString profileCsv();

public slots:
    void setTool(MeasureModel::Tool tool);
    void setLookupTable(LookupTable table);
    void setHiLo(bool on);
    void setScaleBar(bool on);
    void setLine(const QLineF &line);
    void setLineWidth(int width);
    void setRegion(const RegionShape &region);
    void clearMeasurements();

signals:
    void toolChanged();
    void displayChanged();     // table, HiLo or scale bar
    void calibrationChanged();
    void lineChanged();
    void regionChanged();
    void statisticsReady();

private:
    void startWorker();
    void workerDone(const RegionStatistics &statistics, quint64 generation);

    std::shared_ptr<const DecodedImage> m_image;
    QString m_folder;
    Calibration m_file;
    Calibration m_user;
    Tool m_tool = Tool::Pan;
    LookupTable m_table = LookupTable::Grey;
    bool m_hiLo = false;
    bool m_scaleBar = false;
    bool m_hasLine = false;
    QLineF m_line;
    int m_lineWidth = 1;
    bool m_profileValid = false;
    LineProfile m_profile;
    bool m_hasRegion = false;
    RegionShape m_region;
    bool m_statisticsValid = false;
    RegionStatistics m_statistics;
    quint64 m_regionGeneration = 0; // counts changes of image and region
    std::thread m_worker;
    bool m_workerBusy = false;
};

// "Set Scale…" scales, one per folder, in the settings file.
namespace ScaleStore {
Calibration scaleFor(const QString &folder);
void setScaleFor(const QString &folder, const Calibration &scale);
} // namespace ScaleStore
