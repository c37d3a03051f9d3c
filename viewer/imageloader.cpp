#include "viewer/imageloader.h"

#include "viewer/statisticsfollower.h"

#include <QFileInfo>
#include <QMetaObject>

#include <chrono>

namespace {
constexpr std::chrono::milliseconds kProgressInterval(50);
} // namespace

ImageLoader::ImageLoader(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<ImageLoader::Loaded>("ImageLoader::Loaded");
}

ImageLoader::~ImageLoader()
{
    cancel();
    finishThreads(true);
}

ImageLoader::Loaded ImageLoader::read(const QString &path, int page, const TiffDecodeControl &control)
{
    Loaded result;
    result.path = path;
    result.page = page;
    // Where the decoder allows, the statistics follow the decoding band by band.
    StatisticsFollower follower;
    TiffDecodeControl gathering = control;
    follower.follow(gathering);
    TiffImage image;
    result.ok = image.load(path.toStdWString(), page, gathering);
    result.status = image.m_status;
    result.message = image.m_message;
    result.pageCount = image.m_pageCount;
    if (result.ok) {
        result.image = image.take();
        result.statistics = follower.complete(*result.image) ? follower.take() : ImageStatistics::of(*result.image);
    }
    return result;
}

bool ImageLoader::load(const QString &path, int page)
{
    cancel();
    finishThreads(false);
    const quint64 generation = ++m_generation;
    if (QFileInfo(path).size() <= m_synchronousLimit) {
        m_busy = false;
        emit loaded(read(path, page, TiffDecodeControl()));
        return true;
    }
    m_busy = true;
    Job job;
    job.cancel = std::make_shared<std::atomic<bool>>(false);
    job.done = std::make_shared<std::atomic<bool>>(false);
    auto cancelFlag = job.cancel;
    auto doneFlag = job.done;
    job.thread = std::thread([this, path, page, generation, cancelFlag, doneFlag] {
        TiffDecodeControl control;
        control.cancel = cancelFlag.get();
        // Each step shown costs the window a repaint while the read competes for the
        // processor: a few a second follow a long read as well as every percent would.
        control.progress = [this, generation, last = std::chrono::steady_clock::now()](int percent) mutable {
            const auto now = std::chrono::steady_clock::now();
            if (now - last < kProgressInterval)
                return;
            last = now;
            QMetaObject::invokeMethod(this, [this, generation, percent] {
                if (generation == m_generation)
                    emit progress(percent);
            }, Qt::QueuedConnection);
        };
        Loaded result = read(path, page, control);
        QMetaObject::invokeMethod(this, [this, generation, result] {
            if (generation != m_generation)
                return; // superseded or cancelled: the image is dropped here
            m_busy = false;
            emit loaded(result);
        }, Qt::QueuedConnection);
        doneFlag->store(true);
    });
    m_jobs.push_back(std::move(job));
    return false;
}

void ImageLoader::release(std::shared_ptr<const DecodedImage> image)
{
    if (!image || image.use_count() > 1
        || qint64(image->valueCount()) * (image->wide() ? 2 : 1) <= m_synchronousLimit)
        return; // freed here, or with the last of the others holding it
    finishThreads(false);
    Job job;
    job.cancel = std::make_shared<std::atomic<bool>>(false);
    job.done = std::make_shared<std::atomic<bool>>(false);
    job.thread = std::thread([image = std::move(image), done = job.done]() mutable {
        image.reset();
        done->store(true);
    });
    m_jobs.push_back(std::move(job));
}

void ImageLoader::cancel()
{
    ++m_generation;
    m_busy = false;
    for (Job &job : m_jobs)
        job.cancel->store(true);
}

// Joins threads that have finished (or, on destruction, all of them: they stop at the
// next strip once cancelled).
void ImageLoader::finishThreads(bool all)
{
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        if (all || it->done->load()) {
            it->thread.join();
            it = m_jobs.erase(it);
        } else {
            ++it;
        }
    }
}
