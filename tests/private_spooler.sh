# A CUPS spooler of a test's own, for sourcing: it runs on a free port of
# 127.0.0.1, with its configuration, spool, cache, state and logs in a
# temporary folder; CUPS_SERVER and CUPS_SERVERROOT point the programs
# started afterwards at it alone. Its one printer, ZandorikPDF, the
# default, is a cups-pdf printer whose pages land in "$tmp/pdf". The
# machine's own spooler, printers and settings are never read or changed.
# Needs root (cups-pdf runs as root only). Defines fail, wait_for_pdf and
# an EXIT trap that stops the spooler and removes the folder.

tmp=$(mktemp -d)
chmod 755 "$tmp"  # the spooler's filters run as the lp user
cupsd_pid=
cleanup() {
  if [ -n "$cupsd_pid" ]; then kill "$cupsd_pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  {
    echo "FAILED: $*"
    for log in "$tmp"/log/*; do
      [ -s "$log" ] && { echo "--- $log"; tail -n 40 "$log"; }
    done
  } >&2
  exit 1
}

mkdir -p "$tmp"/{etc/ppd,spool/tmp,cache,state,log,serverbin/backend,pdf,home}
chmod 1777 "$tmp/pdf"

# The spooler's programs are the machine's, seen through a folder of the
# test's: every filter, helper and backend as installed, but cups-pdf.
for dir in cgi-bin daemon driver filter monitor notifier; do
  ln -s "/usr/lib/cups/$dir" "$tmp/serverbin/$dir"
done
# cups-pdf reads its settings from /etc/cups/cups-pdf.conf and from no
# other place; they name its output folder. Its stand-in runs it in a mount
# namespace of its own, where that one file is covered by the test's copy
# (a bind mount seen by this process alone, gone when it ends): the PDF
# lands in the test's folder and the machine's file stays as it is.
cat >"$tmp/cups-pdf.conf" <<CONF
Out $tmp/pdf
AnonDirName $tmp/pdf
Spool $tmp/cups-pdf-spool
Log $tmp/log
LogType 3
Grp root
Label 0
CONF
cat >"$tmp/serverbin/backend/cups-pdf" <<WRAPPER
#!/bin/sh
exec unshare --mount --propagation private /bin/sh -c \\
  'mount --bind "\$0" /etc/cups/cups-pdf.conf && exec /usr/lib/cups/backend/cups-pdf "\$@"' \\
  "$tmp/cups-pdf.conf" "\$@"
WRAPPER
chmod 700 "$tmp/serverbin/backend/cups-pdf"

cat >"$tmp/etc/cups-files.conf" <<CONF
ServerRoot $tmp/etc
RequestRoot $tmp/spool
TempDir $tmp/spool/tmp
CacheDir $tmp/cache
StateDir $tmp/state
ServerBin $tmp/serverbin
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
ErrorLog $tmp/log/error_log
AccessLog $tmp/log/access_log
PageLog $tmp/log/page_log
Printcap $tmp/printcap
FileDevice No
User lp
Group lp
SystemGroup root
CONF

start_cupsd() {
  local port=$1
  # Reachable from this machine only, and open to it without passwords.
  cat >"$tmp/etc/cupsd.conf" <<CONF
Listen 127.0.0.1:$port
LogLevel debug
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow from 127.0.0.1
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  /usr/sbin/cupsd -f -c "$tmp/etc/cupsd.conf" -s "$tmp/etc/cups-files.conf" &
  cupsd_pid=$!
  for _ in $(seq 100); do
    [ "$(lpstat -h "127.0.0.1:$port" -r 2>/dev/null)" = "scheduler is running" ] && return 0
    kill -0 "$cupsd_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$cupsd_pid" 2>/dev/null || true
  wait "$cupsd_pid" 2>/dev/null || true
  cupsd_pid=
  return 1
}

# A free port: a random one, tried until the spooler can listen on it.
port=
for _ in 1 2 3 4 5; do
  candidate=$((20000 + RANDOM % 20000))
  (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null && continue  # in use
  if start_cupsd "$candidate"; then
    port=$candidate
    break
  fi
done
[ -n "$port" ] || fail "the private spooler did not start"

export CUPS_SERVER="127.0.0.1:$port" CUPS_SERVERROOT="$tmp/etc" HOME="$tmp/home"
unset LPDEST PRINTER
echo "private spooler on $CUPS_SERVER"

lpadmin -p ZandorikPDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ||
  fail "could not add the PDF printer"
lpadmin -d ZandorikPDF
[ "$(lpstat -d)" = "system default destination: ZandorikPDF" ] || fail "no default printer"

# The path of the first PDF that arrives, once the queue is empty.
wait_for_pdf() {
  local pdf
  for _ in $(seq 600); do
    pdf=$(find "$tmp/pdf" -name '*.pdf' -print -quit)
    if [ -n "$pdf" ] && [ -z "$(lpstat -o 2>/dev/null)" ]; then
      echo "$pdf"
      return
    fi
    sleep 0.1
  done
  fail "no PDF arrived"
}
