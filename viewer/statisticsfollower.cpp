#include "viewer/statisticsfollower.h"

namespace {

// Images of up to this many bytes of values are followed on the decoder's own thread.
constexpr size_t kOwnThreadBytes = size_t(4) << 20;
// The follower is woken once this much more is ready, not for every strip.
constexpr size_t kWakeBytes = size_t(256) << 10;

} // namespace

StatisticsFollower::~StatisticsFollower()
{
    finish();
}

void StatisticsFollower::follow(TiffDecodeControl &control)
{
    control.rowsDone = [this](const DecodedImage &image, uint32_t first, uint32_t end) { rows(image, first, end); };
    control.rowsEnd = [this] { finish(); };
}

void StatisticsFollower::rows(const DecodedImage &image, uint32_t first, uint32_t end)
{
    if (first == 0 && !m_gatherer) {
        m_gatherer = std::make_unique<StatisticsGatherer>(image);
        m_image = &image;
        m_rowBytes = size_t(image.width) * size_t(image.channels) * (image.wide() ? 2 : 1);
        if (m_rowBytes * image.height > kOwnThreadBytes)
            m_thread = std::thread([this] { run(); });
    }
    if (!m_gatherer)
        return;
    if (!m_thread.joinable()) {
        m_gatherer->addRows(image, first, end);
        return;
    }
    bool wake = false;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (first != m_ready)
            m_broken = true;
        m_ready = std::max(m_ready, end);
        wake = (m_ready - m_told) * m_rowBytes >= kWakeBytes || m_ready >= image.height;
        if (wake)
            m_told = m_ready;
    }
    if (wake)
        m_wake.notify_one();
}

void StatisticsFollower::finish()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_ended = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void StatisticsFollower::run()
{
    uint32_t done = 0;
    for (;;) {
        uint32_t ready = 0;
        bool ended = false;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_ready > done || m_ended; });
            ready = m_ready;
            ended = m_ended;
        }
        if (ready > done) {
            m_gatherer->addRows(*m_image, done, ready);
            done = ready;
        } else if (ended) {
            return;
        }
    }
}

bool StatisticsFollower::complete(const DecodedImage &image) const
{
    return m_gatherer && !m_broken && !m_thread.joinable() && m_gatherer->complete(image);
}

ImageStatistics StatisticsFollower::take()
{
    finish();
    return m_gatherer ? m_gatherer->take() : ImageStatistics();
}
