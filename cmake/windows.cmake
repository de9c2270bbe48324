# The Windows tree: setup.exe and the programs that the tests run under Wine.
enable_language(RC)

# Every program and library of the tree is the same bytes wherever and
# whenever it is built: the linker writes no time into the COFF header (nor
# into a DLL's export directory), and no source path reaches a string the
# compiler writes.  Here rather than in the toolchain files, whose _INIT
# flags an existing build tree's cache would keep.
add_link_options(-Wl,--no-insert-timestamp)
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>)

# setup.exe brings its own start-up code and a few run-time routines, so it
# links against nothing but the system DLLs (and libgcc for 64-bit division
# and stack probes, which are linked in statically).
set(SETUP_SOURCES
  base/paths.cpp
  base/resources.cpp
  base/filewrite.cpp
  shell/startup.cpp
  shell/winmain.cpp
  shell/backdrop.cpp
  shell/billboard.cpp
  shell/copyprogress.cpp
  shell/ctl3d.cpp
  shell/dialogs.cpp
  shell/boxfit.cpp
  shell/plaincopy.cpp
  catalogue/catalogue.cpp
  wizard/flow.cpp
  wizard/pages.cpp
  wizard/destination_pages.cpp
  wizard/component_pages.cpp
  wizard/group_page.cpp
  wizard/finish_page.cpp
  install/copy.cpp
  install/expand.cpp
  install/recordfile.cpp
  integration/search.cpp
  integration/progman.cpp
  integration/registry.cpp
  resources/setup.rc
)

# Windows keeps a 32-bit stack aligned to 4 bytes, not 16, and nothing in
# these programs needs more: without the padding that keeps 16, .text is
# 2.4 KB smaller.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(SMALL_STACK_ALIGNMENT -mpreferred-stack-boundary=2)
endif()

# The two programs, setup.exe and tvremove.exe, are compiled alike: no C
# run-time, no exceptions, small.
set(WINDOWS_PROGRAM_DEFINITIONS WIN32_LEAN_AND_MEAN NOMINMAX
  WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_WINDOWS=0x0400)
set(WINDOWS_PROGRAM_OPTIONS ${TOVARIN_WARNINGS} -Os -fno-exceptions -fno-rtti
  -fno-asynchronous-unwind-tables -fno-stack-protector -fno-threadsafe-statics
  -fno-use-cxa-atexit -ffunction-sections -fdata-sections
  -mno-stack-arg-probe -Wframe-larger-than=3584 ${SMALL_STACK_ALIGNMENT} -flto)
# Optimised across files at the link (-flto): the linker drops what no
# caller reaches and the compiler sees every caller of a procedure, which
# keeps .text about a fourteenth smaller.  The link is given the same
# options so that it optimises as the compiler did.
set(WINDOWS_PROGRAM_LINK_OPTIONS -Os -flto -fno-exceptions -fno-rtti
  -fno-asynchronous-unwind-tables -fno-stack-protector -mno-stack-arg-probe
  -Wframe-larger-than=3584 ${SMALL_STACK_ALIGNMENT})

add_executable(setup WIN32 ${SETUP_SOURCES} ${PORTABLE_SOURCES})
target_include_directories(setup PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(setup PRIVATE ${WINDOWS_PROGRAM_DEFINITIONS})
target_compile_options(setup PRIVATE
  "$<$<COMPILE_LANGUAGE:CXX>:${WINDOWS_PROGRAM_OPTIONS};-fno-inline-small-functions>")
# Small functions stay calls: the many one-line helpers, inlined at every
# caller, cost more .text than their calls.
# Without stack probes the compiler passes arguments with pushes, which
# keeps .text a seventh smaller; a frame must then never reach past the
# stack's guard page (4 KB), which -Wframe-larger-than holds well under.
# C symbols carry a leading underscore on i686 and none on x86_64.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(SETUP_ENTRY _SetupStartup)
else()
  set(SETUP_ENTRY SetupStartup)
endif()
target_link_options(setup PRIVATE ${WINDOWS_PROGRAM_LINK_OPTIONS} -fno-inline-small-functions -nostdlib -nostartfiles -s -Wl,--gc-sections
  -Wl,-e,${SETUP_ENTRY} -Wl,--subsystem,windows:4.0
  -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
target_link_libraries(setup PRIVATE kernel32 user32 gdi32 advapi32 version lz32 gcc)
set_target_properties(setup PROPERTIES OUTPUT_NAME setup RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# setup.exe runs from disk 1, which leaves the drive: NT is to load it into
# the swap file rather than page it from the floppy.  GNU ld has no switch
# for the two flags that say so; tools/pemark sets them after every link
# and writes the checksum again.
find_program(PYTHON3 python3 REQUIRED)
add_custom_command(TARGET setup POST_BUILD
  COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/pemark/pemark $<TARGET_FILE:setup>
  COMMENT "Marking setup.exe to run from the swap file"
  VERBATIM)
set_property(TARGET setup APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/tools/pemark/pemark)

# windres reads resource.h, the pictures beside setup.rc and one resource
# file per language (lang/).
# setup.exe carries tvremove.exe of the same tree: windres finds it in the
# build directory, once the removal program is linked.
set(TOVARIN_LANGUAGE_RC
  ${CMAKE_SOURCE_DIR}/resources/lang/en.rc
  ${CMAKE_SOURCE_DIR}/resources/lang/de.rc
  ${CMAKE_SOURCE_DIR}/resources/lang/fr.rc)
# The pictures and icons too: "make art" redraws them in place.
file(GLOB TOVARIN_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.bmp
  ${CMAKE_SOURCE_DIR}/resources/*.ico ${CMAKE_SOURCE_DIR}/resources/lang/*/*.bmp)
set_source_files_properties(resources/setup.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/resource.h;${TOVARIN_LANGUAGE_RC};${TOVARIN_PICTURES};${CMAKE_BINARY_DIR}/tvremove.exe")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/resources -I${CMAKE_BINARY_DIR} -c 1252")

# tvremove.exe: the removal program, built like setup.exe (its own entry,
# no C run-time) from its own folder, the base, the record and the texts
# for Program Manager and the registry; none of the wizard.
set(TVREMOVE_SOURCES
  remove/main.cpp
  remove/recover.cpp
  remove/removal.cpp
  remove/system.cpp
  remove/pages.cpp
  ${REMOVE_PORTABLE_SOURCES}
  shell/startup.cpp
  shell/cmdline.cpp
  base/text.cpp
  base/language.cpp
  base/resources.cpp
  base/pathtext.cpp
  base/blockcopy.cpp
  base/paths.cpp
  base/filewrite.cpp
  install/record.cpp
  integration/progmantext.cpp
  integration/registrytext.cpp
  shell/boxfit.cpp
  resources/tvremove.rc
)
add_executable(tvremove WIN32 ${TVREMOVE_SOURCES})
target_include_directories(tvremove PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(tvremove PRIVATE ${WINDOWS_PROGRAM_DEFINITIONS})
target_compile_options(tvremove PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${WINDOWS_PROGRAM_OPTIONS}>")
target_link_options(tvremove PRIVATE ${WINDOWS_PROGRAM_LINK_OPTIONS} -nostdlib -nostartfiles -s -Wl,--gc-sections
  -Wl,-e,${SETUP_ENTRY} -Wl,--subsystem,windows:4.0
  -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
target_link_libraries(tvremove PRIVATE kernel32 user32 gdi32 advapi32 gcc)
set_target_properties(tvremove PROPERTIES OUTPUT_NAME tvremove RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set_source_files_properties(resources/tvremove.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/tvremove.h;${TOVARIN_LANGUAGE_RC}")

# lzcheck.exe: the LZ32 cross-check of the distribution tools
# (tools/wine/check-lz32), run under Wine from the host tree's tests.
add_executable(lzcheck tools/wine/lzcheck.c)
target_compile_options(lzcheck PRIVATE -O2)
target_link_options(lzcheck PRIVATE -s)
target_link_libraries(lzcheck PRIVATE lz32)
set_target_properties(lzcheck PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# leadcheck.exe: the host's lead-byte tables against the system's
# (tools/wine/check-lead-bytes), run under Wine from the host tree's tests.
add_executable(leadcheck tools/wine/leadcheck.cpp base/codepages.cpp base/text.cpp)
target_include_directories(leadcheck PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(leadcheck PRIVATE -O2)
target_link_options(leadcheck PRIVATE -s -static)
set_target_properties(leadcheck PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The sample application that the sample distribution installs.
add_subdirectory(tools/tovarin)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/driver/CMakeLists.txt)
  add_subdirectory(tests/e2e/driver)
endif()

# The run-time routines must stay loops, not calls to themselves; and they
# stay out of the link-time optimisation, which would drop them before it
# knows that its own code calls them.
set_source_files_properties(shell/startup.cpp PROPERTIES
  COMPILE_OPTIONS "-fno-builtin;-fno-tree-loop-distribute-patterns;-fno-lto")

# The benchmarks' own programs (make bench-search, make bench-install).
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()

add_dependencies(setup tvremove)
