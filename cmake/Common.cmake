# Shared compiler settings and helpers for every target.

set(TW_WARNINGS -Wall -Wextra -Wno-unused-parameter)

if(TW_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(TW_FUZZ)
  # Coverage for the fuzzers reaches into every library they link.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -g)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # Link the C and C++ runtimes statically: no extra DLL beside any program.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# tw_portable_library(name sources...): a library of the portable core.
# It never includes windows.h and builds in both presets.
function(tw_portable_library name)
  add_library(${name} STATIC ${ARGN})
  target_compile_options(${name} PRIVATE ${TW_WARNINGS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# tw_small_win32_flags(target): size-first flags for the dispatcher, the
# runtime and the DLLs: no exceptions, no RTTI, sections garbage-collected.
function(tw_small_win32_flags target)
  target_compile_options(${target} PRIVATE -Os -fno-exceptions -fno-rtti
    -fno-asynchronous-unwind-tables -ffunction-sections -fdata-sections
    ${TW_WARNINGS})
  target_link_options(${target} PRIVATE -Wl,--gc-sections -s
    -Wl,-Map=${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
endfunction()

# tw_lean_win32_code(target): compile flags of the code that goes into the
# programs the end user runs (win32 only): no exceptions, no RTTI, no unwind
# tables, one section per function and datum for the linker to drop, no
# locks around function-local statics (the programs are single-threaded),
# and `new` that may give null (checked before constructing).
function(tw_lean_win32_code target)
  target_compile_options(${target} PRIVATE -Os -fno-exceptions -fno-rtti
    -fno-asynchronous-unwind-tables -fno-unwind-tables -ffunction-sections
    -fdata-sections -fno-threadsafe-statics -fcheck-new ${TW_WARNINGS})
endfunction()

# tw_lean_win32_program(target): a window program the end user runs, built
# with the small-program flags and linked without C runtime: the entry,
# allocation and C++ support come from win32/ (tw_lean_program), the rest
# of the C library from tw_freestanding, helpers from libgcc. Version 4.0
# headers keep the image loadable on the 9x family and NT 4.0.
function(tw_lean_win32_program target)
  tw_small_win32_flags(${target})
  tw_lean_win32_code(${target})
  target_link_options(${target} PRIVATE -nostdlib -nostartfiles
    -Wl,-e,_WinMainCRTStartup
    -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
  target_link_libraries(${target} PRIVATE tw_lean_program tw_late_imports
    tw_dll_search tw_freestanding)
  # libgcc (64-bit division, stack probes) at the very end of the line,
  # after every library the target gets (for all targets of the folder).
  set(CMAKE_CXX_STANDARD_LIBRARIES "${CMAKE_CXX_STANDARD_LIBRARIES} -lgcc" PARENT_SCOPE)
endfunction()

# tw_to_dist(target [name]): put a deliverable into the builder's folder.
function(tw_to_dist target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${TW_DIST_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${TW_DIST_DIR})
  if(ARGC GREATER 1)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${ARGV1})
  endif()
endfunction()
