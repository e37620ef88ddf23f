# The fixture builds host records in memory too: the decoder library for their header.
pelmark_add_test(tst_profiles SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_profiles.cpp
    LIBS pelmark_roster pelmark_pubstats)
# The tree and the commands it follows: the widget side lives with the window.
if(TARGET pelmark_app)
    pelmark_add_test(tst_matching SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_matching.cpp LIBS pelmark_app)
    pelmark_add_test(tst_matetree SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_matetree.cpp LIBS pelmark_app)
    pelmark_add_test(tst_rostercommands SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_rostercommands.cpp
        LIBS pelmark_app)
endif()
