# SAVER_SANITIZE (the sanitize preset): everything built with AddressSanitizer (which brings
# LeakSanitizer) and UndefinedBehaviorSanitizer; any report ends the program, so a test fails.
option(SAVER_SANITIZE "Build with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer" OFF)
if(SAVER_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "SAVER_SANITIZE needs clang")
  endif()
  set(saver_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${saver_sanitize_flags})
  add_link_options(${saver_sanitize_flags})
endif()
