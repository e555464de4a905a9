# The pieces of scripts/windows-check: a Wine machine on a virtual screen, and the hands and eyes that
# drive a program on it. Sourced, not run.

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
# Every wait has an end, so a program that stops answering fails the check instead of holding it.
WAIT_SECONDS=${VTSETUP_CHECK_WAIT:-60}

fail() {
  echo "windows-check: FAILED: $*" >&2
  if [[ -n ${shots:-} && -n ${DISPLAY:-} ]]; then
    import -window root "$shots/failure.png" 2>/dev/null || true
    echo "windows-check: the screen at the failure: $shots/failure.png; its windows:" >&2
    visible_windows >&2 || true
  fi
  describe_programs >&2 || true
  exit 1
}

# How each program this check started stands: its exit code or its threads' backtraces, and its last output.
# A failure on another machine must be understood from the log alone.
describe_programs() {
  local out name
  [[ -n ${work:-} ]] || return 0
  for out in "$work"/*.out; do
    [[ -f $out ]] || continue
    name=$(basename "$out" .out)
    if [[ -s $work/$name.rc ]]; then
      echo "windows-check: $name ended with $(cat "$work/$name.rc"); its last output:"
    else
      echo "windows-check: $name still runs; its last output:"
    fi
    tail -n 20 "$out" | sed 's/^/    /'
  done
  echo "windows-check: room left for the prefix: $(df -h --output=avail "$work" | tail -n 1)"
  echo "windows-check: Wine's living processes:"
  ps -eo pid,etime,stat,args | awk '$3 !~ /^Z/ && tolower($4) ~ /wine|[.]exe/' | cut -c 1-160 | sed 's/^/    /'
  backtraces_of_our_programs
}

# Every thread of a running setup.exe or dinstall.exe, as Wine's debugger sees it, with the function of
# each frame in our code looked up in the program's symbols (the programs keep them).
backtraces_of_our_programs() {
  local pid
  for pid in $(wine_debugger "info proc" | awk '/(setup|dinstall)\.exe/ { print $1 }'); do
    echo "windows-check: the threads of process $pid:"
    # The list shows eight digits, the backtraces four.
    printf 'attach 0x%s\nbt all\ndetach\nquit\n' "$pid" | wine_debugger |
      awk -v pid="$(printf '%04x' $((16#$pid)))" \
        '/^Backtracing for thread/ { ours = ($0 ~ ("in process " pid " ")) } ours' |
      name_frames
  done
}

# Wine's debugger, with its commands on the input or as the argument.
wine_debugger() {
  local commands=()
  [[ $# -eq 0 ]] || commands=(--command "$1")
  (cd "$WINEPREFIX/drive_c" && timeout "$WAIT_SECONDS" "$WINE" winedbg "${commands[@]}" 2>&1) | tr -d '\r'
}

# Appends to each frame "in setup (+0x...)" or "in dinstall (+0x...)" the nearest function at or below it.
name_frames() {
  local -A addresses=() names=()
  local program exe line address symbol best
  for program in setup dinstall; do
    exe=$cd_root/$program.exe
    [[ $program == dinstall ]] && exe=$cd_root/GAME/dinstall.exe
    [[ -f $exe ]] || continue
    while read -r address _ symbol; do
      addresses[$program]+="$((16#$address)) "
      names[$program:$((16#$address))]=$symbol
    done < <(x86_64-w64-mingw32-nm -n -C --defined-only "$exe" | grep -E '^[0-9a-f]+ [Tt] ')
  done
  while IFS= read -r line; do
    if [[ $line =~ (0x[0-9a-f]+)\ in\ (setup|dinstall)\ \(\+0x ]]; then
      program=${BASH_REMATCH[2]}
      best=""
      for address in ${addresses[$program]:-}; do
        ((address <= BASH_REMATCH[1])) || break
        best=$address
      done
      [[ -z $best ]] || line+="  ${names[$program:$best]}"
    fi
    echo "$line"
  done
}

passed() {
  echo "  ok: $*"
}

prepare_outdir() {
  local dir=$1
  if [[ -e $dir && ! -f $dir/.windows-check ]] && [[ ! -d $dir || -n $(ls -A -- "$dir") ]]; then
    echo "windows-check: $dir is not empty and was not made by windows-check" >&2
    exit 1
  fi
  mkdir -p "$dir"
  touch "$dir/.windows-check"
  rm -rf "$dir/screenshots" "$dir/check.log"
  mkdir "$dir/screenshots"
  shots=$dir/screenshots
  shot_number=0
}

# The file format, the subsystem and the imported libraries of an executable: only the system's own.
check_headers() {
  local exe=$1 format=$2 subsystem=$3 dump dll imports=()
  [[ -f $exe ]] || fail "$exe is not built"
  dump=$(i686-w64-mingw32-objdump -p "$exe") || fail "objdump cannot read $exe"
  grep -q "file format $format\$" <<<"$dump" || fail "$exe is not $format"
  grep -Eq "^Subsystem[[:space:]]+[0-9a-f]+[[:space:]]+\($subsystem\)" <<<"$dump" ||
    fail "$exe is not a $subsystem program"
  while read -r dll; do
    case ${dll,,} in
      kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | ole32.dll | comctl32.dll | \
        comdlg32.dll | msvcrt.dll) imports+=("$dll") ;;
      *) fail "$exe imports $dll, which is not a library of the system" ;;
    esac
  done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
  passed "$(basename "$exe"): $format, $subsystem, imports ${imports[*]}"
}

cleanup_wine_machine() {
  [[ -n ${WINEPREFIX:-} ]] && "$WINESERVER" -k 2>/dev/null || true
  [[ -n ${xvfb_pid:-} ]] && kill "$xvfb_pid" 2>/dev/null || true
  # VTSETUP_CHECK_KEEP=1 keeps the prefix and the medium for a look after a failure.
  if [[ -n ${work:-} && -z ${VTSETUP_CHECK_KEEP:-} ]]; then
    rm -rf "$work"
  fi
}

# A fresh Wine prefix in a temporary folder, with a home folder of its own (Wine links the desktop and the
# documents folders there), the Polish ANSI code page, and a virtual screen of 1024 x 768.
start_wine_machine() {
  locale -a 2>/dev/null | grep -qix 'pl_PL.utf8' ||
    fail "the locale pl_PL.UTF-8 is missing (scripts/install-deps makes it)"
  work=$(mktemp -d "${TMPDIR:-/tmp}/vtsetup-wine.XXXXXX")
  trap cleanup_wine_machine EXIT
  export WINEPREFIX=$work/prefix HOME=$work/home WINEDEBUG=-all LANG=pl_PL.UTF-8
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  unset LC_ALL
  mkdir -p "$HOME"

  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  local waited=0
  until [[ -s $work/display ]]; do
    ((waited++ < 100)) || fail "the virtual screen did not start: $(cat "$work/xvfb.log")"
    sleep 0.1
  done
  export DISPLAY=:$(cat "$work/display")

  timeout 300 "$WINE" wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -5 "$work/wineboot.log")"
  # Wine's drive Z: is this machine's root folder, a fixed drive with the most room: the setup would
  # rightly offer it first, and install into the real root.
  rm -f "$WINEPREFIX/dosdevices/z:"
  # Drive D: is a CD-ROM holding the folder that the medium is laid out in later.
  cd_root=$work/cd
  mkdir "$cd_root"
  ln -sfn "$cd_root" "$WINEPREFIX/dosdevices/d:"
  wine_quiet reg add 'HKLM\Software\Wine\Drives' /v d: /d cdrom /f
  # Without a window manager Wine draws the captions itself.
  wine_quiet reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  # The drives and the settings are read when the server starts anew, after this one has ended by itself.
  "$WINESERVER" -w
  passed "a Wine prefix with the Polish code page on display $DISPLAY"
}

wine_quiet() {
  timeout "$WAIT_SECONDS" "$WINE" "$@" >/dev/null 2>&1 || fail "wine $* failed"
}

# A program run to its end in the foreground, its output shown.
wine_run() {
  (cd "$WINEPREFIX/drive_c" && timeout 600 "$WINE" "$@")
}

# A value of the local machine's registry as `reg query` prints it (in the OEM code page, with CR LF).
reg_value() {
  local key=$1 name=$2
  timeout "$WAIT_SECONDS" "$WINE" reg query "$key" /v "$name" 2>/dev/null | iconv -f CP852 -t UTF-8 |
    tr -d '\r' | sed -n "s/^ *$name *REG_[A-Z_]* *//p"
}

# A key's default value.
reg_default() {
  timeout "$WAIT_SECONDS" "$WINE" reg query "$1" /ve 2>/dev/null | iconv -f CP852 -t UTF-8 | tr -d '\r' |
    sed -n 's/^ *[^ ].* *REG_SZ *//p'
}

reg_key_exists() {
  timeout "$WAIT_SECONDS" "$WINE" reg query "$1" >/dev/null 2>&1
}

# The medium built with the Windows programs, laid out on the CD in drive D:.
make_cd() {
  local tools=$1
  "$root/examples/build-medium" --tools "$tools" "$cd_root" >/dev/null || fail "the medium could not be built"
  [[ $(reg_value 'HKLM\Software\Wine\Drives' d:) == cdrom ]] || fail "drive D: is not recorded as a CD-ROM"
  passed "drive D: is the example medium, as a CD-ROM"
}

# The Unix path of a Windows path on drive C: of the prefix.
on_c() {
  local rest=${1:2}
  echo "$WINEPREFIX/drive_c${rest//\\//}"
}

# Starts a program in the background from the CD's root; `finish NAME` waits for its exit code. Wine's
# own error messages go to its output, to explain a program that ends without a word.
start_program() {
  local name=$1
  shift
  rm -f "$work/$name.rc"
  driven=$name
  (
    cd "$cd_root"
    set +e
    WINEDEBUG=-all,err+all "$WINE" "$@" >"$work/$name.out" 2>&1
    echo $? >"$work/$name.rc"
  ) &
}

# Fails when the program being driven has ended while a window of it is awaited.
still_running() {
  [[ -z ${driven:-} || ! -s $work/$driven.rc ]] ||
    fail "$driven ended with $(cat "$work/$driven.rc") while $1 was awaited"
}

finish() {
  local name=$1 expected=$2 waited=0
  until [[ -s $work/$name.rc ]]; do
    ((waited++ < WAIT_SECONDS * 10)) || fail "$name did not end"
    sleep 0.1
  done
  local code
  code=$(cat "$work/$name.rc")
  [[ $code == "$expected" ]] || fail "$name ended with $code, not $expected: $(tail -5 "$work/$name.out")"
  passed "$name ended with $code"
}

# The visible windows of the programs, with their sizes: "ID WIDTH HEIGHT" a line.
visible_windows() {
  local id
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
    echo "$id $WIDTH $HEIGHT"
  done
}

# A wizard page is a dialog of 260 x 150 dialog units, some 390 x 245 pixels with its frame; no other
# window of the setup has that size. Waits for one that is not `previous` and prints its window.
wait_page() {
  local previous=${1:-none} waited=0 id width height
  while ((waited++ < WAIT_SECONDS * 5)); do
    still_running "a page"
    while read -r id width height; do
      if [[ $id != "$previous" ]] && ((width >= 340 && width <= 480 && height >= 200 && height <= 320)); then
        # Painted before it is looked at.
        sleep 0.5
        echo "$id"
        return 0
      fi
    done < <(visible_windows)
    sleep 0.2
  done
  fail "no new page came after window $previous"
}

# Waits for a window with this exact title (a message box) and prints it.
wait_box() {
  local title=$1 waited=0 id
  while ((waited++ < WAIT_SECONDS * 5)); do
    still_running "the box \"$title\""
    id=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1 || true)
    if [[ -n $id ]]; then
      sleep 0.5
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  fail "no box titled \"$title\" came"
}

# Keys for a window: focused first, as keys go to the window that has the focus.
press() {
  local window=$1
  shift
  xdotool windowfocus --sync "$window" 2>/dev/null || fail "window $window cannot take the focus"
  sleep 0.2
  xdotool key --clearmodifiers "$@"
}

shot() {
  shot_number=$((shot_number + 1))
  local file
  file=$(printf '%s/%02d-%s.png' "$shots" "$shot_number" "$1")
  import -window root "$file" 2>/dev/null || fail "no screenshot could be taken"
  echo "  screenshot: $(basename "$file")"
}
