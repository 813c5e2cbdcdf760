# The MSZIP encoder on arbitrary files: every payload must expand again,
# through our decoder and through zlib.
find_package(ZLIB REQUIRED)
tw_fuzz_target(mszip_roundtrip_fuzz ${CMAKE_CURRENT_LIST_DIR}/mszip_roundtrip_fuzz.cpp
  LIBS cab_mszip ZLIB::ZLIB)
target_include_directories(mszip_roundtrip_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
