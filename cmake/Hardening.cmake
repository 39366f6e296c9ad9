# The hardening a Debian package gets from dpkg-buildflags (hardening=+all on
# amd64), applied to every build so that what developers test is what ships:
# stack protector, stack clash protection, control-flow protection, fortified
# libc calls, full RELRO with immediate binding, and position independent
# executables. The fuzzing build leaves them out: it has sanitizers instead.
option(VARNEL_HARDENING "Build with the distribution's hardening flags" ON)
if(NOT VARNEL_HARDENING OR VARNEL_FUZZ)
  return()
endif()

include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong -fstack-clash-protection -fcf-protection
                    -Wformat -Werror=format-security)
# The fortified calls need the optimiser (without it glibc only warns), and
# they hide the calls they check from the sanitizers.
if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize=" AND NOT VARNEL_SANITIZE)
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
# Every object we compile carries the control-flow marking, but the C library's
# start files of Debian 12 carry none, and the linker would drop the marking
# for the whole program; so the program is marked outright. (Their _init has no
# landing pad; no Linux kernel enforces indirect-branch tracking in user
# programs yet, and the loader would enforce it only with every library marked.)
add_link_options(LINKER:-z,ibt LINKER:-z,shstk)
