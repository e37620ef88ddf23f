# The game start through the real Wine, with a Windows program that records its command line.
find_program(PELMARK_WINE wine)
find_program(PELMARK_WINESERVER wineserver PATHS /usr/lib/wine)
if(NOT PELMARK_WINE OR NOT PELMARK_WINESERVER OR NOT PELMARK_MINGW_CC)
    message(WARNING "tst_wine, which starts a Windows test program through the launcher and "
        "the real Wine, is skipped: it needs wine and wineserver (Debian packages wine and "
        "wine64) and x86_64-w64-mingw32-gcc (gcc-mingw-w64-x86-64-win32).")
    return()
endif()

set(PELMARK_CMDLINE_PROBE ${CMAKE_CURRENT_BINARY_DIR}/cmdline_probe.exe)
pelmark_add_windows_program(pelmark_cmdline_probe ${PELMARK_CMDLINE_PROBE}
    ${CMAKE_CURRENT_LIST_DIR}/wine/cmdline_probe.c)
pelmark_add_test(tst_wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_wine.cpp
    LIBS pelmark_launcher pelmark_roster)
add_dependencies(tst_wine pelmark_cmdline_probe)
target_compile_definitions(tst_wine PRIVATE
    PELMARK_CMDLINE_PROBE="${PELMARK_CMDLINE_PROBE}"
    PELMARK_WINESERVER="${PELMARK_WINESERVER}")
# The prefix's first start is part of the run; give it room on a busy 2-core machine.
set_tests_properties(tst_wine PROPERTIES TIMEOUT 600)
