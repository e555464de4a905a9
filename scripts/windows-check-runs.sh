# The runs of scripts/windows-check, in the order a person would meet them: sourced, not run. Each drives
# the real pages with the keys a person would press and checks what the run left on the machine.

readonly DESTINATION='C:\Program Files\Vantor\Orvella'
readonly UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Orvella'
readonly PROGRAM_KEY='HKLM\SOFTWARE\Vantor Software\Orvella\1.0'
readonly PROGRAMS_FOLDER='C:\users\'"$(id -un)"'\AppData\Roaming\Microsoft\Windows\Start Menu\Programs'
readonly DESKTOP_FOLDER='C:\users\'"$(id -un)"'\Desktop'
# What the full installation copies, below the medium's GAME folder and the game's folder alike.
readonly FULL_FILES=(dinstall.exe orv.exe orv.cfg manual.txt DATA/items.dat DATA/world.dat DATA/MAPS/map01.dat
  DATA/MAPS/map02.dat MUSIC/theme.dat MUSIC/credits.txt SAVE/slot0.sav)

run_all_scenarios() {
  cancel_on_the_welcome_page
  full_installation
  second_run_finds_the_installed_game
  uninstall_through_the_registered_command
}

cancel_on_the_welcome_page() {
  echo "== cancel on the welcome page"
  start_program cancel 'D:\setup.exe'
  local page
  page=$(wait_page)
  shot welcome-page
  # No game is installed yet, so "Rozpoczęcie" is disabled: its key must leave the page where it is.
  press "$page" alt+r
  sleep 1
  [[ ! -s $work/cancel.rc ]] && visible_windows | grep -q "^$page " ||
    fail "\"Rozpoczęcie\" acted on the welcome page before any game was installed"
  press "$page" Escape
  finish cancel 10
  [[ ! -e $(on_c 'C:\Program Files\Vantor') ]] || fail "the cancelled run made the game's folder"
  ! reg_key_exists "$UNINSTALL_KEY" || fail "the cancelled run registered the game"
  passed "nothing was installed or registered"
}

full_installation() {
  echo "== the full installation"
  start_program install 'D:\setup.exe'
  local welcome licence type options readme finished
  welcome=$(wait_page)
  press "$welcome" Return
  licence=$(wait_page "$welcome")
  shot licence-page
  press "$licence" alt+d
  type=$(wait_page "$licence")
  shot installation-type-page
  press "$type" Return
  options=$(wait_page "$type")
  shot options-page
  press "$options" alt+d
  # The copy shows its progress dialog over the first billboard for as long as the slideshow's delay.
  sleep 1
  shot copying-with-billboard
  readme=$(wait_page "$options")
  shot readme-page
  press "$readme" Return
  finished=$(wait_page "$readme")
  shot finished-page
  press "$finished" alt+w
  finish install 0

  local folder file
  folder=$(on_c "$DESTINATION")
  for file in "${FULL_FILES[@]}"; do
    cmp -s "$cd_root/GAME/$file" "$folder/$file" || fail "$DESTINATION\\$file is not the medium's file"
  done
  passed "the ${#FULL_FILES[@]} files of the full installation are in $DESTINATION, byte for byte"
  check_install_log "$folder/dinstall.log"
  check_registration
  check_shortcuts
}

# The log's header: its mark, and its own size written when the setup closed it.
check_install_log() {
  local log=$1
  [[ -f $log ]] || fail "no dinstall.log in the game's folder"
  [[ $(head -c 4 "$log") == ILOG ]] || fail "dinstall.log does not start with its mark"
  local recorded actual
  recorded=$(od -An -tu4 -j16 -N4 "$log" | tr -d ' ')
  actual=$(stat -c %s "$log")
  [[ $recorded == "$actual" ]] || fail "dinstall.log says it holds $recorded bytes, but holds $actual"
  grep -aq 'MAPS' "$log" || fail "dinstall.log does not name the folder DATA\\MAPS"
  passed "dinstall.log is closed and names what was copied ($actual bytes)"
}

check_registration() {
  local command name
  command=$(reg_value "$UNINSTALL_KEY" UninstallString)
  [[ $command == "\"$DESTINATION\\dinstall.exe\"" ]] || fail "UninstallString is [$command]"
  name=$(reg_value "$UNINSTALL_KEY" DisplayName)
  [[ -n $name ]] || fail "the uninstall entry has no DisplayName"
  passed "the uninstall entry: DisplayName \"$name\", UninstallString $command"
  local folder
  folder=$(reg_default "$PROGRAM_KEY")
  [[ $folder == "$DESTINATION" ]] || fail "the program key names [$folder] as the game's folder"
  passed "the program key names the game's folder: $PROGRAM_KEY = $folder"
}

# Each link of the group and the desktop, a link file by its header; the web page's by its text.
check_shortcuts() {
  local group desktop link
  group=$(on_c "$PROGRAMS_FOLDER\\Orvella")
  desktop=$(on_c "$DESKTOP_FOLDER")
  for link in "$group/Orvella.LNK" "$group/Instrukcja obsługi.LNK" "$group/Usunięcie Orvella.LNK" \
    "$desktop/Orvella.LNK"; do
    [[ -f $link ]] || fail "no shortcut $link"
    # The header's size 0x4C and the class id of a shell link, as the format documents them.
    [[ $(od -An -tx1 -N20 "$link" | tr -d ' \n') == 4c0000000114020000000000c000000000000046 ]] ||
      fail "$link is not a shell link"
  done
  grep -aq "orv.exe" "$group/Orvella.LNK" || fail "the game's shortcut does not lead to orv.exe"
  grep -aq "dinstall.exe" "$group/Usunięcie Orvella.LNK" || fail "the uninstall shortcut does not lead to dinstall.exe"
  local url="$group/Orvella w sieci.URL"
  [[ -f $url ]] || fail "no internet shortcut in the group"
  grep -q '^\[InternetShortcut\]' "$url" && grep -q '^URL=.*www.vantor.example/orvella' "$url" ||
    fail "the internet shortcut does not lead to the game's page: $(cat "$url")"
  passed "the Start-menu group, the desktop shortcut and the web page's shortcut are there"
}

second_run_finds_the_installed_game() {
  echo "== a second run finds the installed game on the welcome page"
  start_program again 'D:\setup.exe'
  local welcome
  welcome=$(wait_page)
  shot welcome-page-with-installed-game
  # "Rozpoczęcie" starts the installed game and ends the setup; it does nothing without one.
  press "$welcome" alt+r
  finish again 10
}

uninstall_through_the_registered_command() {
  echo "== the uninstall entry's command"
  local command program box
  command=$(reg_value "$UNINSTALL_KEY" UninstallString)
  program=${command#\"}
  program=${program%\"}
  start_program uninstall "$program"
  box=$(wait_box 'Usuwanie gry')
  shot uninstall-question
  press "$box" Return
  box=$(wait_box 'Usuwanie gry')
  shot uninstall-report
  press "$box" Return
  finish uninstall 0

  local folder file
  folder=$(on_c "$DESTINATION")
  for file in "${FULL_FILES[@]}" dinstall.log; do
    [[ $file == dinstall.exe ]] && continue
    [[ ! -e $folder/$file ]] || fail "$DESTINATION\\$file is still there"
  done
  ! reg_key_exists "$UNINSTALL_KEY" || fail "the uninstall entry is still there"
  ! reg_key_exists 'HKLM\SOFTWARE\Vantor Software' || fail "the program key or its empty parents are still there"
  [[ ! -e $(on_c "$PROGRAMS_FOLDER\\Orvella") ]] || fail "the Start-menu group is still there"
  [[ ! -e $(on_c "$DESKTOP_FOLDER")/Orvella.LNK ]] || fail "the desktop shortcut is still there"
  # A running program's file cannot go: the uninstaller leaves itself to the next start of Windows.
  "$WINE" reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations \
    2>/dev/null | tr -d '\r' | grep -qi 'dinstall.exe' || fail "the uninstaller did not arrange its own removal"
  passed "the game, its entry and its shortcuts are gone; dinstall.exe goes at the next start of Windows"
}
