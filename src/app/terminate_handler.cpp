// The handler std::terminate calls when an exception escapes where none may.
//
// The runtime's own default prints the exception's demangled type name to
// stderr, which a windowed program does not have; with a static runtime it
// also links the whole C++ demangler and the C library's printf machinery
// into kestrum.exe, some 75 KB of a 32-bit exe. Defining the default handler
// here keeps those out of the link. It ends the process the way abort() does
// (status 3), without a word.
// The handler is libstdc++'s own (it names it in its namespace): with
// another C++ library this file defines nothing.
#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx
#endif
