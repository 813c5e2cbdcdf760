# The runtime's walk from a typed destination to its nearest existing folder.
tw_fuzz_target(destination_walk_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/destination_walk_fuzz.cpp LIBS tw_setup_core)
