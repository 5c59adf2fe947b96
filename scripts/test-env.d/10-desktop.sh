# Sourced by scripts/with-test-env. Every program of the prefix opens its
# windows inside one Wine virtual desktop of the display's size: Wine then
# draws the frames and caption bars itself (there is no window manager on a
# bare X server), and every program sees the same screen, 1024 x 768.
if ! grep -q '"Desktop"="Tavrin"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  "$wine_run" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Tavrin /d 1024x768 /f </dev/null >/dev/null 2>&1
  "$wine_run" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Tavrin /f </dev/null >/dev/null 2>&1
fi
