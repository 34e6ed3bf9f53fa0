// std::terminate's handler for an exception that escapes where none may: it
// ends the process as abort() does (status 3), without a word. libstdc++'s
// default would print the type's name to a stderr a windowed program lacks,
// and with a static runtime link the demangler and printf, some 75 KB.
#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx
#endif
