#include "short_of_memory.h"

#include <cstdlib>
#include <new>

namespace {

// One thread: the tests and the windows they drive run on it.
bool g_short = false;

}  // namespace

namespace kestrum::win32::testing {

ShortOfMemory::ShortOfMemory() { g_short = true; }
ShortOfMemory::~ShortOfMemory() { g_short = false; }

}  // namespace kestrum::win32::testing

// The program's allocation functions. The array and nothrow forms of the
// runtime call these.
void* operator new(std::size_t size) {
    if (g_short) throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
