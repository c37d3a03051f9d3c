#pragma once
#include "viewer/imagestatistics.h"
#include "viewer/tiffdecoder.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// Works out an image's statistics while the decoder is still reading it, band by band
// as its rows arrive: for a large image on a thread of its own, a band behind the
// decoder, so that where a second processor is free the statistics cost the read next
// to nothing; for a small one at once, on the decoder's thread.
class StatisticsFollower
{
public:
    StatisticsFollower() = default;
    StatisticsFollower(const StatisticsFollower &) = delete;
    StatisticsFollower &operator=(const StatisticsFollower &) = delete;
    ~StatisticsFollower();

    // Listens to the decoder's rows; the control must not outlive this.
    void follow(TiffDecodeControl &control);
    // After the decoding: true when every row was followed, in order, for this image.
    bool complete(const DecodedImage &image) const;
    ImageStatistics take();

private:
    void rows(const DecodedImage &image, uint32_t first, uint32_t end);
    void finish();
    void run();

    std::unique_ptr<StatisticsGatherer> m_gatherer;
    const DecodedImage *m_image = nullptr;
    size_t m_rowBytes = 0;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    uint32_t m_ready = 0;    // rows [0, m_ready) are final
    uint32_t m_told = 0;     // as far as the follower was last woken for
    bool m_ended = false;    // no more rows will come
    bool m_broken = false;   // rows came out of order
    std::thread m_thread;
};
