# The runtime's command line: splitting and the switches of unattended runs.
tw_fuzz_target(switches_fuzz ${CMAKE_CURRENT_LIST_DIR}/switches_fuzz.cpp LIBS tw_setup_core)
