#pragma once
#include "viewer/decodedimage.h"
#include "viewer/imagestatistics.h"
#include "viewer/tiffimage.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

// Loads one page of a TIFF file for the browser. Small files are read at once; larger
// ones on a thread of their own, so the window keeps painting, shows progress and can
// cancel. Only the latest request is ever delivered: a new one cancels the one before.
class ImageLoader : public QObject
{
    Q_OBJECT
public:
    struct Loaded
    {
        QString path;
        int page = 0;
        int pageCount = 0;
        bool ok = false;
        TiffImage::Status status = TiffImage::NotReadable;
        QString message;
        std::shared_ptr<const DecodedImage> image;
        ImageStatistics statistics;
    };

    explicit ImageLoader(QObject *parent = nullptr);
    ~ImageLoader() override;

    // Files up to this many bytes are read on the calling thread.
    void setSynchronousLimit(qint64 bytes) { m_synchronousLimit = bytes; }
    // Returns true when the result was delivered before returning.
    bool load(const QString &path, int page);
    void cancel();
    bool busy() const { return m_busy; }
    // Lets go of an image the caller no longer shows. When that is its last reference and
    // it is large, its memory goes back on a thread of its own: giving hundreds of MiB
    // back to the system would otherwise hold up the window's next frame.
    void release(std::shared_ptr<const DecodedImage> image);

signals:
    void loaded(const ImageLoader::Loaded &result);
    void progress(int percent);

private:
    static Loaded read(const QString &path, int page, const TiffDecodeControl &control);
    void finishThreads(bool all);

    struct Job
    {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> cancel;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::vector<Job> m_jobs;
    quint64 m_generation = 0;
    qint64 m_synchronousLimit = 8 << 20;
    bool m_busy = false;
};
