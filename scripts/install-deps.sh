#!/usr/bin/env bash
# Installs the Debian packages the build, tests and benchmarks need, and only those missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config ccache
    nlohmann-json3-dev libutf8proc-dev unicode-data
    libcairo2-dev libpango1.0-dev libpng-dev zlib1g-dev libfontconfig-dev libglib2.0-dev
    fonts-noto-cjk fonts-noto-core fonts-noto-color-emoji libicu-dev
    # Every locale prebuilt, for the tests of times of day in each of them: generating
    # several hundred with localedef would take minutes of both cores on every new machine.
    locales-all
    libgtest-dev libgmock-dev libbenchmark-dev
    # The message catalogs: xgettext makes po/'s template, msgfmt compiles the catalogs and
    # merges their translations into the desktop entry and metainfo, msgmerge updates them.
    gettext
    # Man pages: scdoc writes them, gzip packs them, man-db checks them in the tests.
    scdoc gzip man-db
    # make package: CPack finds the binaries with file, their libraries with dpkg-shlibdeps,
    # and dpkg-buildflags gives Debian's hardening flags. The tests check what it makes with
    # lintian, desktop-file-validate, appstreamcli and systemd-analyze.
    dpkg-dev file binutils lintian desktop-file-utils appstream systemd
    # make format; xdg-mime registers the link handler as the README shows.
    clang-format xdg-utils
    libgtk-3-dev libgtk-layer-shell-dev xvfb
    # The desktop host's tests: X server, window manager, X tools, a session bus with the
    # accessibility bus, a headless sway and grim (setpriv of util-linux runs them as an
    # unprivileged user), and Debian's Python with its D-Bus, GLib, AT-SPI and GTK bindings.
    openbox x11-utils xdotool imagemagick dbus at-spi2-core sway grim util-linux
    python3 python3-dbus python3-gi python3-pyatspi gir1.2-gtk-3.0
    # The output background the layer surface's transparent corners are seen against.
    swaybg
    # The backend's choice is tested on a compositor without layer shell, with its XWayland.
    weston xwayland
    # The X11 window managers the host's stacking is tested under, beside openbox: two
    # stacking ones and a tiling one.
    xfwm4 fluxbox i3-wm
    # Monitors that change: a resizable nested X server and xrandr to resize it.
    xserver-xephyr x11-xserver-utils
    # A host's clock run fast, so that a timeline's reload instant comes within a test.
    faketime
    # GNOME, run headless with a virtual monitor (gdbus of libglib2.0-bin asks it).
    gnome-shell libglib2.0-bin
    # KDE Plasma's compositor, run headless with XWayland.
    kwin-wayland
)
if [[ "${1:-}" == "--check" ]]; then
    # Sanitizer builds and fuzzing need clang and its runtimes on top.
    packages+=(clang libclang-rt-14-dev)
fi
if [[ "${1:-}" == "--fresh" ]]; then
    # The fresh-machine check makes its pristine Debian root with mmdebstrap.
    packages=(mmdebstrap util-linux git tar)
fi
if [[ "${1:-}" == "--bench" ]]; then
    # Whole-process timings, GNU time for the peak resident memory, and python3 for the
    # script that watches serve's pictures (bench-serve.sh).
    packages+=(hyperfine time python3)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "installing: ${missing[*]}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
