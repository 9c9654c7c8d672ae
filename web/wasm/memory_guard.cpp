// Running out of memory in WebAssembly, where the C++ runtime has no exceptions. A reserve
// block is held between calls from JavaScript: when an allocation inside a call fails, the
// reserve is given back and the allocation retried, so the call finishes; the next call finds
// no reserve, cannot take a new one, and is refused up front (NORVATHEL_NO_MEMORY, which the
// JavaScript side throws as an Error). Only when a single call needs more than the reserve
// does an allocation trap; the JavaScript side then throws too and starts a fresh module.
#include <cstddef>
#include <cstdlib>
#include <new>

#include "web_exports.h"

namespace {

// More than one call allocates at most: a unique stream's set doubling its table (about ten
// bytes a slot) up to a million names, or an arena block of 1 MiB.
const std::size_t ReserveSize = std::size_t(16) << 20;

void* reserve = nullptr;
int ranOut = 0;  // an allocation failed and trapped

void* Allocate(std::size_t size)
{
    if (size == 0)
        size = 1;
    for (;;) {
        if (void* block = std::malloc(size))
            return block;
        if (!reserve)
            return nullptr;
        std::free(reserve);
        reserve = nullptr;
    }
}

}  // namespace

extern "C" int norvathel_web_ran_out(void)
{
    return ranOut;
}

extern "C" int norvathel_web_arm(void)
{
    if (!reserve)
        reserve = std::malloc(ReserveSize);
    return reserve != nullptr;
}

// The exception-free runtime would abort on a failed allocation; a trap says the same to the
// JavaScript side, which is all an abort could do here.
void* operator new(std::size_t size)
{
    if (void* block = Allocate(size))
        return block;
    ranOut = 1;
    __builtin_trap();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

// The library's sources guard the C boundary with try/catch; they are compiled with
// -fignore-exceptions, so nothing is ever caught, and the library code that would throw
// (length_error and the like, for sizes the composer never asks for) traps instead.
extern "C" void* __cxa_allocate_exception(std::size_t) noexcept
{
    __builtin_trap();
}

extern "C" [[noreturn]] void __cxa_throw(void*, void*, void (*)(void*))
{
    __builtin_trap();
}
