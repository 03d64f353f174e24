// Linked into the setup program only, ahead of the C++ library: what the
// library does when it fails, made the same as what it did before (the
// process ends) without the parts that only dressed the ending up. The
// program catches no exception anywhere, so every one of these ended in
// std::terminate and abort; now they abort at once. That keeps out the
// name demangler of the verbose terminate handler, the exception classes
// with their strings, and the pthreads library the exception machinery
// locks with: close to half of the program's size.

#include <cstdlib>
#include <exception>
#include <new>
#include <string>

// Stands in for the library's verbose handler, which prints the exception's
// demangled type to a standard error stream that a GUI program does not have.
// Nothing reaches the terminate machinery today; should a part with
// exception tables bring it back, the demangler (46 KB) still stays out.
void __gnu_cxx::__verbose_terminate_handler() { std::abort(); }

// Every one of the library's throw helpers: if one were missing, the
// library's own file of them would be linked too and clash with these.
namespace std {
void __throw_bad_exception() { abort(); }
void __throw_bad_alloc() { abort(); }
void __throw_bad_array_new_length() { abort(); }
void __throw_bad_cast() { abort(); }
void __throw_bad_typeid() { abort(); }
void __throw_logic_error(const char*) { abort(); }
void __throw_domain_error(const char*) { abort(); }
void __throw_invalid_argument(const char*) { abort(); }
void __throw_length_error(const char*) { abort(); }
void __throw_out_of_range(const char*) { abort(); }
void __throw_out_of_range_fmt(const char*, ...) { abort(); }
void __throw_runtime_error(const char*) { abort(); }
void __throw_range_error(const char*) { abort(); }
void __throw_overflow_error(const char*) { abort(); }
void __throw_underflow_error(const char*) { abort(); }
void __throw_system_error(int) { abort(); }
void __throw_bad_function_call() { abort(); }
}  // namespace std

// Allocation that cannot fail by exception: out of memory ends the process,
// as the unhandled std::bad_alloc did.
void* operator new(std::size_t size) {
    if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
    std::abort();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
