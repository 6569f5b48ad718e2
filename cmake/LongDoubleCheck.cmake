# The extended arithmetic of the analysis needs long double to be the x87 80-bit extended
# format (64-bit significand), as it is with GCC and Clang on x86 Linux and with MinGW-w64 GCC
# on Windows. MSVC and clang-cl make long double the same 64-bit type as double: refuse them
# here, in plain words, instead of failing deep inside a header.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles([=[
#include <limits>
static_assert(std::numeric_limits<long double>::digits == 64, "long double is not 80-bit");
int main() { return 0; }
]=] ORVIX_LONG_DOUBLE_IS_EXTENDED)
if(NOT ORVIX_LONG_DOUBLE_IS_EXTENDED)
    message(FATAL_ERROR
        "The compiler ${CMAKE_CXX_COMPILER_ID} ${CMAKE_CXX_COMPILER_VERSION} "
        "(${CMAKE_CXX_COMPILER}) has no 80-bit extended long double (64-bit significand). "
        "The analysis computes in that format and would give different results with a "
        "narrower one, so this compiler cannot build the program. Use GCC or Clang on Linux, "
        "or MinGW-w64 GCC on Windows (for example the MinGW kit that comes with Qt); MSVC and "
        "clang-cl are not supported.")
endif()
