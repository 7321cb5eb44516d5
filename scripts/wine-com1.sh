# Sourced by the scripts that run the Windows build under Wine against the
# Linux simulator (scripts/test-windows.sh, bench/wine_line.sh).
#
#   start_com1_sim FOLDER LOG [SIM OPTION...]
# starts $sim (the Linux regscope-sim) with the demo slaves on a
# pseudo-terminal linked as FOLDER/COM1, its --verbose lines going to LOG,
# sets sim_pid, and makes that pseudo-terminal Wine's COM1. Wine makes its
# COM devices from the registry key when it starts (a link of one's own in
# dosdevices would be replaced), hence the wineserver restart.
start_com1_sim()
{
  local folder=$1 log=$2
  shift 2
  mkdir -p "$folder"
  "$sim" --folder "$folder" --port 1 --demo --verbose "$@" >"$log" 2>&1 &
  sim_pid=$!
  for _ in $(seq 50); do
    [ -e "$folder/COM1" ] && grep -q "^Press Ctrl+C" "$log" && break
    sleep 0.1
  done
  wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$(readlink "$folder/COM1")" \
    /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1
}

stop_com1_sim()
{
  kill "$sim_pid" 2>/dev/null
  wait "$sim_pid" 2>/dev/null
  sim_pid=
}
