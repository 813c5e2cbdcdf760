# The install profile readers and the alias expansion.
tw_fuzz_target(install_profile_fuzz ${CMAKE_CURRENT_LIST_DIR}/install_profile_fuzz.cpp LIBS tw_common)
