#!/usr/bin/env bash
# Runs a command under a virtual X server of its own (1280x1024, 24 bits), the toolkit told to
# use it (X11 backend, no accessibility bus to wait for).
# -noreset: by default the server resets whenever its last client leaves and refuses the
# connections that arrive meanwhile; the smoke tests' xdotool polls come and go every 0.2 s
# while a slow program (under valgrind, say) is still connecting.
#   tools/xvfb.sh COMMAND [ARGS...]
export GDK_BACKEND=x11 NO_AT_BRIDGE=1
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
