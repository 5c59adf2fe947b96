# Sourced by scripts/with-test-env. Every program of the prefix opens its
# windows inside one Wine virtual desktop of the display's size: Wine then
# draws the frames and caption bars itself (there is no window manager on a
# bare X server), and every program sees the same screen, 1024 x 768.
if ! grep -q '"Desktop"="Tavrin"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  "$wine_run" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Tavrin /d 1024x768 /f </dev/null >/dev/null 2>&1
  "$wine_run" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Tavrin /f </dev/null >/dev/null 2>&1
fi

# Open the desktop before any test and hold it for the whole run, so that no
# two tests race to start it (see tests/support/desktop_keeper.cpp).
keeper="$build/tests/support/desktop_keeper.exe"
if [ -x "$keeper" ]; then
  "$wine_run" "$keeper" </dev/null >"$build/desktop_keeper.log" 2>&1 &
  keeper_pid=$!
  add_cleanup "kill $keeper_pid"
  for _ in $(seq 1 600); do
    grep -q ready "$build/desktop_keeper.log" 2>/dev/null && break
    kill -0 "$keeper_pid" 2>/dev/null || break
    sleep 0.2
  done
fi
