#!/bin/bash
# Brings this machine to what the build and the tests need, doing only what is missing:
#   setup.sh packages        Debian packages (cross compiler, Wine, Xvfb, fonts, ...)
#   setup.sh locales         zh_CN.UTF-8 (code page 936) and en_US.UTF-8 (code page 1252)
#   setup.sh prefix DIR      a private Wine prefix in DIR, made once
set -euo pipefail

packages=(
  make cmake g++ googletest
  g++-mingw-w64-x86-64-posix
  wine wine64 fonts-wine
  xvfb xauth xcompmgr xdotool x11-utils imagemagick
  locales fonts-wqy-zenhei
)

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
}

generate_locales() {
  local have need=()
  have=$(locale -a 2>/dev/null)
  grep -qx 'zh_CN.utf8' <<<"$have" || need+=('zh_CN.UTF-8 UTF-8')
  grep -qx 'en_US.utf8' <<<"$have" || need+=('en_US.UTF-8 UTF-8')
  [ ${#need[@]} -eq 0 ] && return 0
  for l in "${need[@]}"; do
    grep -qx "$l" /etc/locale.gen 2>/dev/null || echo "$l" >>/etc/locale.gen
  done
  echo "setup: generating locales ${need[*]}"
  locale-gen >/dev/null
}

make_prefix() {
  local dir=$1
  [ -f "$dir/.strovik-ready" ] && return 0
  echo "setup: creating Wine prefix $dir"
  rm -rf "$dir"
  mkdir -p "$dir"
  export WINEPREFIX=$dir WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  unset DISPLAY
  wineboot -i >/dev/null 2>&1
  wineserver -w
  # Without a window manager, hiding an activated window stalls for seconds unless
  # Wine leaves window management to itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  # The program asks for SimSun-style faces that Debian does not ship; map them to the
  # installed CJK font so that text shows real glyphs.
  local face
  for face in 宋体 新宋体 SimSun NSimSun; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d 'WenQuanYi Zen Hei' /f >/dev/null
  done
  wineserver -w
  touch "$dir/.strovik-ready"
}

case "${1:-}" in
  packages) install_packages ;;
  locales) generate_locales ;;
  prefix) make_prefix "$(realpath -m "$2")" ;;
  *) echo "usage: $0 packages|locales|prefix DIR" >&2; exit 2 ;;
esac
