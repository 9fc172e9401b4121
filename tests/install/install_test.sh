#!/usr/bin/env bash
# The installed program as users and distributions get it; one step per call
# (arguments: tests/install/CMakeLists.txt). Exit code 77: a tool is missing.
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
need() { for tool; do command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit 77; }; done; }

# Starts the installed program offscreen, prints the first line showing its camera library
# opened (the loader's LD_DEBUG trace) or missing (the window's message), ends it.
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
    { kill "$pid"; wait "$pid"; } 2>/dev/null || true
    rm -rf "$runtime"
    echo "$line"
}

step=$1
shift
case $step in
tree)  # BUILD DEST ID VERSION LIBDIR (the camera library's directory under the prefix)
    build=$1 dest=$2 id=$3 version=$4 libdir=$5
    rm -rf "$dest"
    DESTDIR=$dest "${CMAKE:-cmake}" --install "$build" --prefix /usr >/dev/null
    expected=(bin/orvenna "$libdir/libsoftcam.so" "share/applications/$id.desktop"
        "share/metainfo/$id.metainfo.xml" "share/icons/hicolor/scalable/apps/$id.svg"
        share/man/man1/orvenna.1.gz share/doc/orvenna/copyright share/doc/orvenna/changelog.gz
        share/lintian/overrides/orvenna)
    for size in 16 22 24 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png"); done
    # Every file in place and nothing else, nothing outside the prefix.
    diff <(printf './usr/%s\n' "${expected[@]}" | sort) <(cd "$dest" && find . ! -type d | sort) ||
        fail "installed tree differs (< expected, > installed)"
    grep -qx "Icon=$id" "$dest/usr/share/applications/$id.desktop" || fail "desktop entry's Icon is not $id"
    # The command line is answered before any window system is needed: the information
    # options (past the toolkit's own) and the usage error for an unknown option or two files.
    orvenna=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$dest/usr/bin/orvenna")
    got=$("${orvenna[@]}" -platform offscreen --version)
    [[ $got == "Orvenna $version" ]] || fail "--version printed '$got'"
    for wrong in --bogus "a.mp4 b.mp4"; do
        status=0
        # shellcheck disable=SC2086
        err=$("${orvenna[@]}" $wrong 2>&1 >/dev/null) || status=$?
        [[ $status == 1 && $err == *"Usage: "* ]] || fail "orvenna $wrong: exit $status, '$err'"
    done
    ;;
start)  # DEST LIBDIR
    library=$1/usr/$2/libsoftcam.so
    line=$(first_camera_line "$1")
    [[ $line =~ file=(.*)\ \[0\] && $(realpath "${BASH_REMATCH[1]}") == "$(realpath "$library")" ]] ||
        fail "the installed program did not open $library: $line"
    # The control: without the library the window says so.
    mv "$library" "$library.away"
    trap 'mv "$library.away" "$library"' EXIT
    line=$(first_camera_line "$1")
    [[ $line == *"libsoftcam.so not found"* ]] || fail "no missing-library message without the library: $line"
    ;;
validate)  # DEST ID
    need desktop-file-validate appstreamcli
    desktop-file-validate "$1/usr/share/applications/$2.desktop"
    report=$(appstreamcli validate --no-net --no-color "$1/usr/share/metainfo/$2.metainfo.xml") || fail "$report"
    echo "$report"
    # Even infos fail, but one: the reserved ".example" domain reads as a doubtful id.
    if grep -E '^[EWI]:' <<<"$report" | grep -v ': cid-maybe-not-rdns '; then fail "appstreamcli: see above"; fi
    ;;
deb)  # BUILD OUT VERSION
    need dpkg-shlibdeps lintian file
    rm -rf "$2"
    "${CPACK:-cpack}" -G DEB --config "$1/CPackConfig.cmake" -B "$2" >/dev/null
    deb=$2/orvenna_$3_amd64.deb
    depends=$(dpkg-deb -f "$deb" Depends) || fail "no $deb"
    # The daemon by hand, the libraries from the program and the camera library.
    for package in pipewire libqt6widgets6 libpipewire-0.3-0; do
        [[ $depends =~ (^|, )$package( |,|$) ]] || fail "Depends lacks $package: $depends"
    done
    [[ $(dpkg-deb -f "$deb" Suggests) =~ v4l2loopback-dkms ]] || fail "v4l2loopback-dkms not suggested"
    lintian --fail-on error,warning "$deb"
    ;;
makefiles)  # SOURCE OUT: the generated files (install files, test media) under the Makefiles generator
    need make
    rm -rf "$2"
    "${CMAKE:-cmake}" -S "$1" -B "$2" -G "Unix Makefiles" -DORVENNA_BUILD_BENCH=OFF >/dev/null
    "${CMAKE:-cmake}" --build "$2" --target orvenna_install_files orvenna_test_media
    ;;
*) fail "unknown step $step" ;;
esac
