// Running out of memory on request, for the Windows layer's tests: the test
// program replaces the global allocation functions (short_of_memory.cpp), so
// that every operator new throws std::bad_alloc while a ShortOfMemory lives.
// Meant to be held around the one call a test means, and no longer.
#pragma once

namespace kestrum::win32::testing {

class ShortOfMemory {
public:
    ShortOfMemory();
    ~ShortOfMemory();
    ShortOfMemory(const ShortOfMemory&) = delete;
    ShortOfMemory& operator=(const ShortOfMemory&) = delete;
};

}  // namespace kestrum::win32::testing
