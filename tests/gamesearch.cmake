# Where the browse dialog looks for the game: the search on a prepared home, and the
# Settings dialog's browse that uses it.
pelmark_add_test(tst_gamesearch SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_gamesearch.cpp
    LIBS pelmark_dialogs)
