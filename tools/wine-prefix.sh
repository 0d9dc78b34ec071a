# Sourced by the Windows test scripts: Wine in the prefix build-windows/wine (made when
# missing), with no display, no downloads of Mono or Gecko and its chatter in
# build-windows/wine.log; the wine server is ended when the script exits, after the script's
# own clean-up (wine_cleanup, when the script defines it).
out=$root/build-windows
export WINEPREFIX=$out/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wine_log=$out/wine.log
touch "$wine_log"
end_wine() {
  declare -F wine_cleanup >/dev/null && wine_cleanup
  wineserver -k 2>>"$wine_log" || true
}
trap end_wine EXIT
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  wineboot -i >>"$wine_log" 2>&1
  wineserver -w
fi
