# The trace file of the scenario runner: every frame of the run in the
# communication monitor's lines, with the faults and the statistics' reasons
# visible in them.
add_test(NAME scenario.monitor_trace
  COMMAND sh -c "rm -f \"$1\" && \"$2\" --trace \"$1\" \"$3\" && grep -q '^# COM1 9600 bit/s even parity' \"$1\" && grep -q ' TX 01 03 00 00 00 0A C5 CD | slave 1 Read Holding Registers address 0 quantity 10$' \"$1\" && grep -q ' RX  | timeout | 3[0-9][0-9][.][0-9]* ms$' \"$1\" && grep -q 'bad CRC' \"$1\" && grep -q 'exception 4 Slave device failure' \"$1\" && grep -q 'wrong byte count' \"$1\" && test $(grep -c ' TX ' \"$1\") -eq 8"
    sh ${CMAKE_CURRENT_BINARY_DIR}/monitor_trace.txt $<TARGET_FILE:regscope-script>
    ${CMAKE_CURRENT_LIST_DIR}/monitor_frames.scn)
set_tests_properties(scenario.monitor_trace PROPERTIES TIMEOUT 120)

# The trace is written as the run goes: a run killed in the middle of a long
# line keeps every transaction that had ended.
add_test(NAME scenario.monitor_trace_as_it_goes
  COMMAND sh -c "rm -rf \"$1\" \"$1.d\" && mkdir \"$1.d\" && printf 'sim start\\nstart\\nmenu 2103\\nset 50021 \"3\"\\nclick 50003\\nset 53011 \"0\"\\nset 53021 \"1\"\\nclick 53001\\nwait 60\\n' >\"$1.scn\" && { \"$2\" --dir \"$1.d\" --trace \"$1\" \"$1.scn\" & pid=$!; i=0; while [ $i -lt 100 ] && ! grep -q ' RX 01 03 02 ' \"$1\" 2>/dev/null; do sleep 0.1; i=$((i+1)); done; kill -9 $pid; rm -rf \"$1.d\"; grep -q ' TX 01 03 00 00 00 01 84 0A ' \"$1\" && grep -q ' RX 01 03 02 ' \"$1\"; }"
    sh ${CMAKE_CURRENT_BINARY_DIR}/monitor_trace_killed.txt $<TARGET_FILE:regscope-script>)
set_tests_properties(scenario.monitor_trace_as_it_goes PROPERTIES TIMEOUT 60)
