# The cabinet reader (FDI) on arbitrary cabinets: header, tables, names,
# blocks and checksums, and the codecs behind them.
tw_fuzz_target(fdi_cabinet_fuzz ${CMAKE_CURRENT_LIST_DIR}/fdi_cabinet_fuzz.cpp
  LIBS cab_container)
