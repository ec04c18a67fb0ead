#!/usr/bin/env bash
# Runs a command beside a JACK server of its own on the dummy backend (no sound card needed),
# then stops that server by its process id. The server's name is unique to this run, so that
# runs side by side do not meet; the command finds it through JACK_DEFAULT_SERVER and may stop
# it itself through TESTRIG_JACKD_PID.
set -u

name="testrig-$$"
log="$(mktemp)"
export JACK_DEFAULT_SERVER="$name" JACK_NO_AUDIO_RESERVATION=1

jackd -n "$name" --no-realtime -d dummy -r 48000 -p 512 -C 2 -P 2 >"$log" 2>&1 &
pid=$!
if ! jack_wait -s "$name" -n "wait-$$" -w -t 20 >/dev/null 2>&1; then
    echo "JACK's dummy server did not start:"
    cat "$log"
    kill "$pid" 2>/dev/null
    rm -f "$log"
    exit 1
fi

export TESTRIG_JACKD_PID="$pid"
"$@"
status=$?

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
# Semaphores of clients the server did not see close stay behind in shared memory.
rm -f "$log" /dev/shm/jack_sem.*_"$name"_*
exit "$status"
