#include "viewer/imageloader.h"

#include <QFileInfo>
#include <QMetaObject>

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
    TiffImage image;
    result.ok = image.load(path.toStdWString(), page, control);
    result.status = image.m_status;
    result.message = image.m_message;
    result.pageCount = image.m_pageCount;
    if (result.ok) {
        result.image = image.take();
        result.statistics = ImageStatistics::of(*result.image);
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
        control.progress = [this, generation](int percent) {
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
