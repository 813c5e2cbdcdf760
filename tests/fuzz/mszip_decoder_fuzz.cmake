# The MSZIP decoder on arbitrary payload sequences, checked against zlib.
find_package(ZLIB REQUIRED)
tw_fuzz_target(mszip_decoder_fuzz ${CMAKE_CURRENT_LIST_DIR}/mszip_decoder_fuzz.cpp
  LIBS cab_mszip ZLIB::ZLIB)
target_include_directories(mszip_decoder_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
