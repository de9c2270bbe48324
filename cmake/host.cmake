# The host tree: unit tests under AddressSanitizer and UBSan, fuzz targets,
# distribution tools, and the registration of the end-to-end tests.
enable_testing()
include(GoogleTest)
find_package(GTest REQUIRED)

set(SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_library(portable STATIC ${PORTABLE_SOURCES} ${REMOVE_PORTABLE_SOURCES})
target_include_directories(portable PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(portable PRIVATE ${TOVARIN_WARNINGS})
target_compile_options(portable PUBLIC ${SANITIZE})
target_link_options(portable PUBLIC ${SANITIZE})

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
if(UNIT_TEST_SOURCES)
  # The end-to-end driver's plain logic is tested with the product's.
  add_executable(unit_tests ${UNIT_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/tests/e2e/driver/checktext.cpp)
  target_link_libraries(unit_tests PRIVATE portable GTest::gtest_main)
  target_compile_options(unit_tests PRIVATE ${TOVARIN_WARNINGS} -Wno-conversion)
  gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 30)
endif()

# libFuzzer targets need clang; each one runs for a bounded time under ctest,
# from its seeds directory and a corpus kept in the build tree.
set(FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs under ctest")
function(add_bounded_fuzz_target name seeds)
  add_executable(${name} ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -g)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  set(corpus ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
      sh -c "mkdir -p '${corpus}' && exec \"$0\" -max_total_time=${FUZZ_SECONDS} -rss_limit_mb=2048 -print_final_stats=0 '${corpus}' ${seeds}"
      $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()

if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
  foreach(src ${FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_bounded_fuzz_target(${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/seeds/${name} ${src} ${PORTABLE_SOURCES} ${REMOVE_PORTABLE_SOURCES})
  endforeach()
endif()

# The Windows build trees and the architectures that Wine runs here, after
# E2E_ARCH (win32, win64, both; by default every one that can run): win32
# runs the product, build/win32; win64 its 64-bit twin, build/win64, on
# machines whose kernel cannot run the 32-bit loader.  Found when the tree is
# configured, which make does before every test run; the Wine tests of the
# tools and the end-to-end tests run on each.
set(WIN32_BUILD_DIR "${CMAKE_SOURCE_DIR}/build/win32" CACHE PATH "The Windows build tree")
set(WIN64_BUILD_DIR "${CMAKE_SOURCE_DIR}/build/win64" CACHE PATH "The 64-bit twin of the Windows build tree")
set(E2E_ARCH "auto" CACHE STRING "Architectures of the Wine tests: win32, win64, both or auto")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env E2E_ARCH=${E2E_ARCH} ${CMAKE_SOURCE_DIR}/tests/e2e/e2e-fixture arches
  OUTPUT_VARIABLE WINE_ARCHES ERROR_VARIABLE wine_arch_report
  RESULT_VARIABLE wine_arch_result OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REPLACE "\n" ";" WINE_ARCHES "${WINE_ARCHES}")
if(wine_arch_report)
  message(STATUS "${wine_arch_report}")
endif()
if(NOT wine_arch_result EQUAL 0)
  set(WINE_ARCHES "")
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/resources/art/CMakeLists.txt)
  add_subdirectory(resources/art)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/CMakeLists.txt)
  add_subdirectory(tools)
endif()

# The end-to-end tests run build/win32/setup.exe under Wine, or its 64-bit
# twin build/win64/setup.exe where the 32-bit loader cannot run.
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()

# What setup.exe is made of: imports, subsystem, resources; and that its
# 64-bit twin carries the same resources.
add_test(NAME setup_exe_contents
  COMMAND ${CMAKE_SOURCE_DIR}/tests/pe/check-setup-exe ${WIN32_BUILD_DIR}/setup.exe)
add_test(NAME setup_exe_contents_win64
  COMMAND ${CMAKE_SOURCE_DIR}/tests/pe/check-setup-exe ${WIN64_BUILD_DIR}/setup.exe)
set_tests_properties(setup_exe_contents setup_exe_contents_win64 PROPERTIES LABELS pe)

# What the removal program is made of, in both trees.
add_test(NAME tvremove_exe_contents
  COMMAND ${CMAKE_SOURCE_DIR}/tests/pe/check-tvremove-exe ${WIN32_BUILD_DIR}/tvremove.exe)
add_test(NAME tvremove_exe_contents_win64
  COMMAND ${CMAKE_SOURCE_DIR}/tests/pe/check-tvremove-exe ${WIN64_BUILD_DIR}/tvremove.exe)
set_tests_properties(tvremove_exe_contents tvremove_exe_contents_win64 PROPERTIES LABELS pe)

# pemark's checksum against the linker's own: GNU ld writes the checksum of
# every image it links, and pemark --check computes it again for the
# programs and libraries it leaves alone.
set(pemark_reference "")
foreach(tree ${WIN32_BUILD_DIR} ${WIN64_BUILD_DIR})
  foreach(image lzcheck.exe tovarin.exe baseline.exe searchbench.exe driver.exe ctl3d/spy.dll ctl3d/unversioned.dll)
    list(APPEND pemark_reference ${tree}/${image})
  endforeach()
endforeach()
add_test(NAME pemark_checksum
  COMMAND ${CMAKE_SOURCE_DIR}/tools/pemark/pemark --check ${pemark_reference})
set_tests_properties(pemark_checksum PROPERTIES LABELS pe)
