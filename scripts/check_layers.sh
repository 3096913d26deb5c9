#!/usr/bin/env bash
# Fails when logic could see the screens' world. Outside src/*/ui/, src/platform/qt/ and
# src/main.cpp no file may include a header of Qt's picture and widget modules (QtGui,
# QtWidgets, QtMultimedia and their kin) or a header from a ui/ folder; only
# src/platform/qt/ and src/main.cpp include the real platform implementations; only the
# composition root (src/app/ui/) and src/main.cpp include a header of src/app/ui/, so that the
# screens stand on the shared picture widgets (src/picture/ui/) and never on the top; and
# those shared widgets include no screen. The link line
# catches most of this too, but only once something uses what it included.
set -euo pipefail
cd "$(dirname "$0")/.."

headers="$(qtpaths6 --query QT_INSTALL_HEADERS 2>/dev/null ||
    qtpaths --query QT_INSTALL_HEADERS 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt6)"
modules=(QtGui QtWidgets QtMultimedia QtMultimediaWidgets QtOpenGL QtOpenGLWidgets
         QtPrintSupport)
if [ ! -d "$headers/QtGui" ]; then
    echo "check_layers: Qt's headers are not in $headers; run scripts/deps.sh first" >&2
    exit 1
fi

# Every header name of those modules, one per line, with the module it belongs to.
names="$(for m in "${modules[@]}"; do
    [ -d "$headers/$m" ] && ls "$headers/$m" | sed "s|^|$m |"
done)"

# Each include in src/ (new files too) as "file:line:text".
includes="$(git grep --untracked -nE '^[[:space:]]*#[[:space:]]*include' -- 'src/*.cpp' \
    'src/*.h' || true)"

problems="$(awk -v modules="${modules[*]}" '
    NR == FNR { module[$2] = $1; next }
    {
        split($0, part, ":")
        file = part[1]; line = part[2]
        sub(/^[^:]*:[^:]*:/, "")
        if (file ~ /^src\/main\.cpp$/ || file ~ /^src\/platform\/qt\//)
            next
        screen = file ~ /^src\/[^\/]+\/ui\//
        if (match($0, /<[^>]+>/)) {
            name = substr($0, RSTART + 1, RLENGTH - 2)
            owner = ""
            if (name in module)
                owner = module[name]
            n = split(modules, list, " ")
            for (i = 1; i <= n; i++)
                if (name == list[i] || index(name, list[i] "/") == 1)
                    owner = list[i]
            if (owner != "" && !screen)
                printf "%s:%s: includes <%s>, a %s header: only src/*/ui/, src/platform/qt/ and src/main.cpp may\n", file, line, name, owner
        } else if (match($0, /"[^"]+"/)) {
            name = substr($0, RSTART + 1, RLENGTH - 2)
            if (name ~ /^platform\/qt\//)
                printf "%s:%s: includes \"%s\": only src/platform/qt/ and src/main.cpp see the real platform implementations\n", file, line, name
            else if (name ~ /^app\/ui\// && file !~ /^src\/app\/ui\//)
                printf "%s:%s: includes \"%s\": only src/app/ui/ and src/main.cpp see the composition root and the start screen\n", file, line, name
            else if (file ~ /^src\/picture\/ui\// && name ~ /\/ui\// && name !~ /^(picture|platform)\/ui\//)
                printf "%s:%s: includes \"%s\": the shared picture widgets stand below every screen\n", file, line, name
            else if (!screen && (name ~ /^ui\// || name ~ /\/ui\//))
                printf "%s:%s: includes \"%s\", a screen header: only src/*/ui/, src/platform/qt/ and src/main.cpp may\n", file, line, name
        }
    }' <(echo "$names") <(echo "$includes"))"

if [ -n "$problems" ]; then
    echo "$problems" >&2
    echo "check_layers: the includes above break the layers" >&2
    exit 1
fi
echo "check_layers: logic includes no picture, widget or screen header"
