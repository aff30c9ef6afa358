// The C++ library's failure paths, replaced for the program so that they end it the way they end
// it anyway, without dragging in what the library's own versions need.
//
// The program catches no C++ exception: a failed allocation or a string grown past its limit
// ends in std::terminate whatever throws it. The library's throwing helpers build exception
// objects around copy-on-write strings (about 90 KB of string, exception and random-device code
// in the 32-bit executable), and its default terminate handler prints the demangled name of the
// exception type to a console the program does not have (the demangler is another 46 KB). Our
// definitions take their place at link time: each ends the process at once, as the uncaught
// exception would have. Linked into the shipped executable only; the tests keep the library's.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
}  // namespace std
