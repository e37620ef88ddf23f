# The server list's model and order, without a window: in the sanitizer build too.
pelmark_add_test(tst_serverlist SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_serverlist.cpp
    LIBS pelmark_serverlist)
