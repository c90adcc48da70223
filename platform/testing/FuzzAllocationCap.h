#pragma once
// A ceiling on each request for memory while a fuzz target runs an input. A
// few bytes of a compressed picture, an animation or a metafile may declare
// millions of pixels, and the callers have no bound of their own below what
// memory allows; under the ceiling such a request fails as a shortage of
// memory does (operator new throws std::bad_alloc), so the input goes on
// through the code's own out-of-memory path instead of costing the fuzzer
// seconds of clearing and copying. Requests outside an AllocationCap, on
// other threads, and through malloc itself are not limited.
//
// This header replaces the global operator new and delete (on malloc and
// free, which the sanitizers still watch): include it in the one source
// file of a fuzz target, never in a header or a second source.

#include <cstddef>
#include <cstdlib>
#include <new>

namespace tv::fuzzing {

namespace detail {
inline thread_local std::size_t g_allocationCap = 0;
} // namespace detail

// Limits each request on this thread to bytes while the object lives.
class AllocationCap {
public:
    explicit AllocationCap(std::size_t bytes) : previous_(detail::g_allocationCap) { detail::g_allocationCap = bytes; }
    ~AllocationCap() { detail::g_allocationCap = previous_; }
    AllocationCap(const AllocationCap&) = delete;
    AllocationCap& operator=(const AllocationCap&) = delete;

private:
    std::size_t previous_;
};

namespace detail {

inline void* allocate(std::size_t size, std::size_t alignment) noexcept
{
    if (g_allocationCap != 0 && size > g_allocationCap)
        return nullptr;
    if (size == 0)
        size = 1;
    if (alignment <= alignof(std::max_align_t))
        return std::malloc(size);
    void* p = nullptr;
    return posix_memalign(&p, alignment, size) == 0 ? p : nullptr;
}

inline void* allocateOrThrow(std::size_t size, std::size_t alignment)
{
    if (void* p = allocate(size, alignment))
        return p;
    throw std::bad_alloc();
}

} // namespace detail

} // namespace tv::fuzzing

void* operator new(std::size_t size)
{
    return tv::fuzzing::detail::allocateOrThrow(size, 0);
}
void* operator new[](std::size_t size)
{
    return tv::fuzzing::detail::allocateOrThrow(size, 0);
}
void* operator new(std::size_t size, std::align_val_t alignment)
{
    return tv::fuzzing::detail::allocateOrThrow(size, std::size_t(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return tv::fuzzing::detail::allocateOrThrow(size, std::size_t(alignment));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return tv::fuzzing::detail::allocate(size, 0);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return tv::fuzzing::detail::allocate(size, 0);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return tv::fuzzing::detail::allocate(size, std::size_t(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return tv::fuzzing::detail::allocate(size, std::size_t(alignment));
}

void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(p);
}
