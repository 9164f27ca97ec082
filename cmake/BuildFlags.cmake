# Flags a build asks for through cache variables (the presets set them). They are added to
# whatever CMAKE_CXX_FLAGS and the linker flags hold, from the user, CXXFLAGS or a
# distribution's build, never put in their place; every target gets them.

# Sanitizers for the whole build, as a -fsanitize= list such as "address,undefined". The
# first report is fatal, and frame pointers keep the reported stacks whole.
set(TESSFIELD_SANITIZE "" CACHE STRING
  "Sanitizers for every target, as for -fsanitize= (e.g. address,undefined); empty for none")
if(TESSFIELD_SANITIZE)
  add_compile_options(-fsanitize=${TESSFIELD_SANITIZE} -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${TESSFIELD_SANITIZE})
endif()

# The hardening that Debian's build flags give a package, and that lintian looks for in it.
option(TESSFIELD_HARDEN "Build with Debian's hardening flags (stack protector, fortified calls, read-only relocations)" OFF)
if(TESSFIELD_HARDEN)
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security -Wdate-time
    -D_FORTIFY_SOURCE=2)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()

# The libFuzzer targets in fuzz/. Everything is built with coverage instrumentation, so the
# libraries they link guide the fuzzer; only the targets themselves get libFuzzer's main.
if(TESSFIELD_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "the fuzz targets need clang++ (libFuzzer); configure with the fuzz preset")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
