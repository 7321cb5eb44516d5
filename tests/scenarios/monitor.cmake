# The trace file of the scenario runner: every frame of the run in the
# communication monitor's lines, with the faults and the statistics' reasons
# visible in them.
add_test(NAME scenario.monitor_trace
  COMMAND sh -c "rm -f \"$1\" && \"$2\" --trace \"$1\" \"$3\" && grep -q '^# COM1 9600 bit/s even parity' \"$1\" && grep -q ' TX 01 03 00 00 00 0A C5 CD | slave 1 Read Holding Registers address 0 quantity 10$' \"$1\" && grep -q ' RX  | timeout | 3[0-9][0-9][.][0-9]* ms$' \"$1\" && grep -q 'bad CRC' \"$1\" && grep -q 'exception 4 Slave device failure' \"$1\" && grep -q 'wrong byte count' \"$1\" && test $(grep -c ' TX ' \"$1\") -eq 5"
    sh ${CMAKE_CURRENT_BINARY_DIR}/monitor_trace.txt $<TARGET_FILE:regscope-script>
    ${CMAKE_CURRENT_LIST_DIR}/monitor_frames.scn)
set_tests_properties(scenario.monitor_trace PROPERTIES TIMEOUT 120)
