# Debian's hardening, as its dpkg-buildflags gives it with DEB_BUILD_MAINT_OPTIONS=hardening=+all
# on Debian 13: checked buffer functions, stack canaries, stack clash probes, control-flow
# protection, a read-only relocation table bound at start-up, and a position-independent
# program. Debian 12's dpkg-buildflags lacks the stack clash and control-flow flags although its
# compilers have them; naming the flags here builds alike on both releases and in any build
# folder, the test build included.
include(CheckCXXCompilerFlag)

option(PARVENEX_HARDENING "Build with Debian's hardening flags" ON)
# The flags are the ELF toolchain's; mingw's linker makes Windows programs with ASLR and DEP on by
# default.
if(NOT PARVENEX_HARDENING OR WIN32 OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    return()
endif()

foreach(flag -fstack-protector-strong -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "PARVENEX_HAS${flag}" supported)
    check_cxx_compiler_flag(${flag} ${supported})
    if(${supported})
        add_compile_options(${flag})
    endif()
endforeach()

# glibc checks buffer sizes only where the compiler optimises (without optimisation it warns
# instead), and AddressSanitizer does its own, finer checking of the same calls.
if(NOT PARVENEX_SANITIZE AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
    add_compile_definitions(_FORTIFY_SOURCE=2)
endif()

add_link_options(LINKER:-z,relro LINKER:-z,now)
# Qt compiles everything with -fPIC, which serves a position-independent executable as well;
# linking with -pie keeps the program one where the compiler does not make it so by default.
add_link_options($<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-pie>)
