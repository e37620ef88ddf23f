pelmark_add_test(tst_presence SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_presence.cpp
    LIBS pelmark_presence)
