#!/usr/bin/env bash
# Starts a PulseAudio server with a null sink as the default output, unless one answers
# already. Source it: it exports XDG_RUNTIME_DIR so that the programs find the server.
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/tablavox-runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
if ! pactl info >/dev/null 2>&1; then
  pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
    --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=tablavox_null" 2>/dev/null || true
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
fi
pactl info >/dev/null 2>&1 || { echo "no audio server could be started" >&2; return 1 2>/dev/null || exit 1; }
