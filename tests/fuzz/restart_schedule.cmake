# The editors of the restart schedule a failed install run takes its
# replacements off: WININIT.INI text and PendingFileRenameOperations.
tw_fuzz_target(restart_schedule_fuzz ${CMAKE_CURRENT_LIST_DIR}/restart_schedule_fuzz.cpp LIBS tw_setup_core)
