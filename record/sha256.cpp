#include "record/sha256.h"

#include <QFile>

#include <openssl/evp.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

Sha256::Sha256() : m_ctx(EVP_MD_CTX_new())
{
    // Failing here means the library could not allocate a few hundred bytes, or has no
    // SHA-256 at all: nothing sensible can go on with a record of hashes then.
    if (!m_ctx || EVP_DigestInit_ex(m_ctx, EVP_sha256(), nullptr) != 1)
        qFatal("libcrypto cannot compute SHA-256");
}

Sha256::~Sha256()
{
    EVP_MD_CTX_free(m_ctx);
}

void Sha256::addData(const char *data, qint64 size)
{
    if (size > 0)
        EVP_DigestUpdate(m_ctx, data, size_t(size));
}

QString Sha256::result()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_ctx, digest, &length);
    reset();
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex());
}

void Sha256::reset()
{
    EVP_DigestInit_ex(m_ctx, EVP_sha256(), nullptr);
}

QString Sha256::hashFile(const QString &path, QString *error, const std::atomic_bool *stop,
                         const std::function<void(qint64)> &progress)
{
    // Plain read(2) in large blocks: QFile's own buffering would add a copy per block.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return QString();
    }
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    constexpr size_t kBlock = 1 << 20;
    std::unique_ptr<char[]> block(new char[kBlock]);
    Sha256 hash;
    for (;;) {
        if (stop && stop->load()) {
            ::close(fd);
            if (error)
                error->clear();
            return QString();
        }
        const ssize_t n = ::read(fd, block.get(), kBlock);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int cause = errno;
            ::close(fd);
            if (error)
                *error = QString::fromLocal8Bit(std::strerror(cause));
            return QString();
        }
        if (n == 0)
            break;
        hash.addData(block.get(), n);
        if (progress)
            progress(n);
    }
    ::close(fd);
    if (error)
        error->clear();
    return hash.result();
}
