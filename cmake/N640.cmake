# Shared build settings and helpers.

set(N640_WARNINGS -Wall -Wextra -Werror)
add_compile_options(${N640_WARNINGS})

if(WIN32)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # One self-contained executable: no MinGW runtime DLL beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Release programs carry no symbols and no unreferenced functions or data.
  add_compile_options("$<$<CONFIG:Release>:-ffunction-sections;-fdata-sections>")
  add_link_options("$<$<CONFIG:Release>:-Wl,--gc-sections;-s>")
endif()

if(N640_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(N640_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

macro(n640_setup_test_framework)
  if(CMAKE_CROSSCOMPILING)
    # No packaged GoogleTest for MinGW: build it from the Debian source package.
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    foreach(t gtest gtest_main gmock gmock_main)
      target_compile_options(${t} PRIVATE -Wno-error)
      if(NOT TARGET GTest::${t})
        add_library(GTest::${t} ALIAS ${t})
      endif()
    endforeach()
  else()
    find_package(GTest REQUIRED)
    find_package(Threads REQUIRED)
    if(N640_BENCH)
      find_package(benchmark REQUIRED)
    endif()
  endif()
endmacro()

# n640_library(NAME [SOURCES portable...] [WINDOWS win/...] [LINUX linux/...] [LIBS deps...])
# builds n640_NAME from the portable sources and the platform sources of the target system.
function(n640_library name)
  cmake_parse_arguments(L "" "" "SOURCES;WINDOWS;LINUX;LIBS" ${ARGN})
  set(sources ${L_SOURCES})
  if(WIN32)
    list(APPEND sources ${L_WINDOWS})
  else()
    list(APPEND sources ${L_LINUX})
  endif()
  add_library(n640_${name} STATIC ${sources})
  target_link_libraries(n640_${name} PUBLIC ${L_LIBS})
endfunction()

# n640_add_tests(NAME SOURCES... [LIBS deps...]): one test executable per subsystem, registered
# as one ctest entry (every Wine process start costs time). Links n640_NAME when it exists.
function(n640_add_tests name)
  cmake_parse_arguments(T "" "" "LIBS;LABELS" ${ARGN})
  add_executable(${name}_tests ${T_UNPARSED_ARGUMENTS})
  if(TARGET n640_${name})
    target_link_libraries(${name}_tests PRIVATE n640_${name})
  endif()
  target_link_libraries(${name}_tests PRIVATE ${T_LIBS} GTest::gmock GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name}_tests)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "N640_SOURCE_DIR=${CMAKE_SOURCE_DIR};N640_BINARY_DIR=${CMAKE_BINARY_DIR}"
    TIMEOUT 600)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# n640_add_benchmark(NAME SOURCES... [LIBS deps...]): a Google Benchmark program (host builds only).
function(n640_add_benchmark name)
  cmake_parse_arguments(B "" "" "LIBS" ${ARGN})
  if(N640_BENCH AND NOT CMAKE_CROSSCOMPILING)
    add_executable(${name}_bench ${B_UNPARSED_ARGUMENTS})
    target_link_libraries(${name}_bench PRIVATE ${B_LIBS} benchmark::benchmark)
  endif()
endfunction()

# n640_add_fuzzer(NAME SOURCES... [LIBS deps...]): a libFuzzer target, built only by the fuzz preset.
function(n640_add_fuzzer name)
  cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
  if(N640_FUZZ)
    add_executable(fuzz_${name} ${F_UNPARSED_ARGUMENTS})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${name} PRIVATE ${F_LIBS} -fsanitize=fuzzer)
  endif()
endfunction()
