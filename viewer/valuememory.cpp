#include "viewer/decodedimage.h"

#include <cstdint>
#include <new>
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace ValueMemory {

namespace {
// Below this, the ordinary allocator's pages are as good, and a huge page would be mostly empty.
constexpr size_t kLarge = size_t(4) << 20;
constexpr size_t kHugePage = size_t(2) << 20;
constexpr size_t kPage = 4096;

size_t mappedLength(size_t bytes)
{
    return (bytes + kPage - 1) / kPage * kPage;
}
} // namespace

void *allocate(size_t bytes)
{
#ifdef __linux__
    if (bytes >= kLarge) {
        // Mapped a huge page larger and trimmed to a huge page's boundary, so that every
        // part of it can be a huge page.
        const size_t length = mappedLength(bytes);
        void *raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED)
            return nullptr;
        const auto first = reinterpret_cast<uintptr_t>(raw);
        const uintptr_t start = (first + kHugePage - 1) / kHugePage * kHugePage;
        if (start > first)
            ::munmap(raw, start - first);
        const uintptr_t tail = first + length + kHugePage - (start + length);
        if (tail > 0)
            ::munmap(reinterpret_cast<void *>(start + length), tail);
        ::madvise(reinterpret_cast<void *>(start), length, MADV_HUGEPAGE); // a hint: fine if refused
        return reinterpret_cast<void *>(start);
    }
#endif
    return ::operator new(bytes, std::nothrow);
}

void release(void *data, size_t bytes)
{
#ifdef __linux__
    if (bytes >= kLarge) {
        ::munmap(data, mappedLength(bytes));
        return;
    }
#endif
    ::operator delete(data);
}

} // namespace ValueMemory
