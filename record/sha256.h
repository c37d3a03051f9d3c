#pragma once
#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>

struct evp_md_ctx_st;

// Incremental SHA-256 through libcrypto, which uses the processor's SHA instructions where
// there are any. One object per stream; not shared between threads, but any one thread may
// use it (the writer thread feeds it the buffers it writes).
class Sha256
{
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256 &) = delete;
    Sha256 &operator=(const Sha256 &) = delete;

    void addData(const char *data, qint64 size);
    void addData(const QByteArray &data) { addData(data.constData(), data.size()); }
    // 64 lower-case hex digits of everything added since construction or reset(); the
    // object starts over afterwards.
    QString result();
    void reset();

    // Hash of a whole file read in large blocks. Empty, with *error set, when it cannot be
    // read, or when `stop` became true on the way (*error then empty). `progress` hears of
    // every block's size.
    static QString hashFile(const QString &path, QString *error = nullptr,
                            const std::atomic_bool *stop = nullptr,
                            const std::function<void(qint64)> &progress = {});

private:
    evp_md_ctx_st *m_ctx;
};
