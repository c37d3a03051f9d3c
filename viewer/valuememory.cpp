#include "viewer/decodedimage.h"

#include <cstdint>
#include <new>
#ifdef __linux__
#include <sys/mman.h>
#endif

// Under the address sanitizer every block comes from the ordinary allocator, where reads
// and writes past its end are caught.
#if defined(__SANITIZE_ADDRESS__)
#define VALUE_MEMORY_MAPPED 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VALUE_MEMORY_MAPPED 0
#endif
#endif
#if !defined(VALUE_MEMORY_MAPPED) && defined(__linux__)
#define VALUE_MEMORY_MAPPED 1
#elif !defined(VALUE_MEMORY_MAPPED)
#define VALUE_MEMORY_MAPPED 0
#endif

namespace ValueMemory {

#if VALUE_MEMORY_MAPPED
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
#endif

void *allocate(size_t bytes)
{
#if VALUE_MEMORY_MAPPED
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
#if VALUE_MEMORY_MAPPED
    if (bytes >= kLarge) {
        ::munmap(data, mappedLength(bytes));
        return;
    }
#else
    (void)bytes;
#endif
    ::operator delete(data);
}

} // namespace ValueMemory
