# Sourced by scripts/with-test-env: starts the local conversion service for
# the build folder and makes the prefix trust its CA. Ports come from the
# build's TAVRIN_TEST_PORT_BASE: HTTPS on the base, plain HTTP (and the open
# proxy) on base+1, the proxy that demands credentials on base+2.

service_port_base=$(sed -n 's/^TAVRIN_TEST_PORT_BASE:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
service_port_base=${service_port_base:-18440}
export TAVRIN_SERVICE_HTTPS_PORT=$service_port_base
export TAVRIN_SERVICE_HTTP_PORT=$((service_port_base + 1))
export TAVRIN_SERVICE_PROXY_AUTH_PORT=$((service_port_base + 2))
export TAVRIN_SERVICE_LINK_HOST="localhost:$TAVRIN_SERVICE_HTTPS_PORT"

"$here/make-pki" "$build" "$TAVRIN_SERVICE_HTTP_PORT"
"$here/trust-ca" "$build"
# Wine keeps fetched CRLs until their next update, years ahead: a list of an
# earlier CA would then fail every revocation check, and a cached list hides
# whether the fetch works. Start each run without them.
for user_dir in "$build/wineprefix/drive_c/users"/*/AppData; do
  rm -rf "$user_dir/LocalLow/Microsoft/CryptnetUrlCache" "$user_dir/Local/Microsoft/Windows/INetCache"
done
unset user_dir

# A service left over from an interrupted run of this build folder holds the ports.
# Only that process is stopped: its command line names this build's database.
if [ -f "$build/service.pid" ]; then
  old_pid=$(cat "$build/service.pid")
  if tr '\0' ' ' <"/proc/$old_pid/cmdline" 2>/dev/null | grep -qF -- "--db $build/service.db"; then
    kill "$old_pid" 2>/dev/null || true
    sleep 0.2
  fi
  rm -f "$build/service.pid"
  unset old_pid
fi

python3 "$here/../service/tavrin_service.py" \
  --https-port "$TAVRIN_SERVICE_HTTPS_PORT" \
  --http-port "$TAVRIN_SERVICE_HTTP_PORT" \
  --proxy-auth-port "$TAVRIN_SERVICE_PROXY_AUTH_PORT" \
  --cert "$build/pki/server.pem" --key "$build/pki/server.key" --crl "$build/pki/crl.der" \
  --db "$build/service.db" --link-host "$TAVRIN_SERVICE_LINK_HOST" \
  --time-limit "${TAVRIN_SERVICE_TIME_LIMIT:-7200}" \
  </dev/null >"$build/service.log" 2>&1 &
service_pid=$!
echo "$service_pid" > "$build/service.pid"
add_cleanup "kill $service_pid; rm -f '$build/service.pid'"

service_ready=
for _ in $(seq 100); do
  if ! kill -0 "$service_pid" 2>/dev/null; then break; fi
  if grep -q "service ready" "$build/service.log" 2>/dev/null; then service_ready=1; break; fi
  sleep 0.1
done
if [ -z "$service_ready" ]; then
  echo "with-test-env: the local service did not start (ports $service_port_base to $((service_port_base + 2)) busy?):" >&2
  cat "$build/service.log" >&2
  exit 1
fi
unset service_port_base service_pid service_ready
