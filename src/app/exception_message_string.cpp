// The string a standard exception keeps its message in, built here rather
// than taken from the static libstdc++.
//
// std::logic_error and std::runtime_error hold their message in libstdc++'s
// older, reference-counted std::string, whatever the program's own string is;
// so a length_error or out_of_range that a string or a vector may throw
// brings it in. The library's copy of that class is one object holding every
// member, and MinGW's linker keeps every .eh_frame (or .pdata and .xdata) it
// links, with every function they name: that object, and the random_device
// and the whole of the program's own string class it pulls after it, cost
// some 60 KB of the 32-bit exe and 40 KB of the 64-bit one. Instantiated
// here from the same headers the library was built from, under link-time
// optimisation, only the few members the exception classes call are kept.
#define _GLIBCXX_USE_CXX11_ABI 0
#include <string>

#if defined(__GLIBCXX__) && !_GLIBCXX_USE_CXX11_ABI
template class std::basic_string<char>;
#endif
