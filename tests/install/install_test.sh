#!/usr/bin/env bash
# The installed program, as a user or a distribution gets it. Steps:
#   tree BUILD DEST ID VERSION LIBDIR   cmake --install into DEST (prefix /usr), check the tree and --version
#                                       (LIBDIR: the camera library's directory under the prefix)
#   start DEST LIBDIR                   the installed program finds its camera library; without it, says so
#   validate DEST ID                    desktop-file-validate and appstreamcli on the installed files
#   deb BUILD OUT VERSION               cpack -G DEB, the package's name and relations, lintian
# Exit code 77: a tool the step needs is missing (a skip).
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }
need() { for tool; do command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit 77; }; done; }

# Starts the installed program on the offscreen platform and prints the first
# line that shows its camera library opened (LD_DEBUG: what the dynamic loader
# opens) or missing (the window's message, on stderr too); ends it then.
first_camera_line() {
    local runtime line
    runtime=$(mktemp -d)
    coproc program { cd "$runtime" && exec env XDG_RUNTIME_DIR="$runtime" HOME="$runtime" \
        QT_QPA_PLATFORM=offscreen LD_DEBUG=files "$1/usr/bin/orvenna" 2>&1; }
    local pid=$program_PID
    while IFS= read -r -t 60 -u "${program[0]}" line; do
        [[ $line =~ libsoftcam\.so\ \[0\]\;\ \ generating\ link\ map|libsoftcam\.so\ not\ found ]] && break
        line=
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rm -rf "$runtime"
    echo "$line"
}

step=$1
shift
case $step in
tree)
    build=$1 dest=$2 id=$3 version=$4 libdir=$5
    rm -rf "$dest"
    DESTDIR=$dest "${CMAKE:-cmake}" --install "$build" --prefix /usr >/dev/null
    expected=(bin/orvenna "$libdir/libsoftcam.so"
        "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
        "share/icons/hicolor/scalable/apps/$id.svg" share/man/man1/orvenna.1.gz
        share/doc/orvenna/copyright share/doc/orvenna/changelog.gz)
    for size in 16 22 24 32 48 64 128 256; do
        expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
    done
    # Every file in place and nothing else, nothing outside the prefix.
    diff <(printf './usr/%s\n' "${expected[@]}" | sort) <(cd "$dest" && find . ! -type d | sort) ||
        fail "installed tree differs (< expected, > installed)"
    grep -qx "Icon=$id" "$dest/usr/share/applications/$id.desktop" || fail "desktop entry's Icon is not $id"
    # Without a display: the information options need no window system.
    got=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$dest/usr/bin/orvenna" --version)
    [[ $got == "Orvenna $version" ]] || fail "--version printed '$got'"
    ;;
start)
    dest=$1 libdir=$2
    library=$dest/usr/$libdir/libsoftcam.so
    line=$(first_camera_line "$dest")
    [[ $line =~ file=(.*)\ \[0\] && $(realpath "${BASH_REMATCH[1]}") == "$(realpath "$library")" ]] ||
        fail "the installed program did not open $library: $line"
    # The control: without the library the window says so.
    mv "$library" "$library.away"
    trap 'mv "$library.away" "$library"' EXIT
    line=$(first_camera_line "$dest")
    [[ $line == *"libsoftcam.so not found"* ]] || fail "no missing-library message without the library: $line"
    ;;
validate)
    dest=$1 id=$2
    need desktop-file-validate appstreamcli
    desktop-file-validate "$dest/usr/share/applications/$id.desktop"
    report=$(appstreamcli validate --no-net --no-color "$dest/usr/share/metainfo/$id.metainfo.xml") ||
        fail "appstreamcli: $report"
    echo "$report"
    # Even infos fail, but one: the reserved ".example" domain reads as a doubtful id.
    if grep -E '^[EWI]:' <<<"$report" | grep -v ': cid-maybe-not-rdns '; then
        fail "appstreamcli found the above"
    fi
    ;;
deb)
    build=$1 out=$2 version=$3
    need dpkg-shlibdeps lintian file
    rm -rf "$out"
    "${CPACK:-cpack}" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
    deb=$out/orvenna_${version}_amd64.deb
    [[ -f $deb ]] || fail "no $deb"
    depends=$(dpkg-deb -f "$deb" Depends) suggests=$(dpkg-deb -f "$deb" Suggests)
    for package in pipewire libpipewire-0.3-0 libqt6widgets6; do
        [[ $depends =~ (^|, )$package( |,|$) ]] || fail "Depends lacks $package: $depends"
    done
    [[ $suggests =~ v4l2loopback-dkms ]] || fail "Suggests lacks v4l2loopback-dkms: $suggests"
    lintian --fail-on error,warning "$deb"
    ;;
*)
    fail "unknown step $step"
    ;;
esac
