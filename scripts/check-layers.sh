#!/usr/bin/env bash
# Checks the program's layering: a file under src/ includes only its own folder and folders of
# lower levels, and a library of src/ links only libraries of its own folder and of lower levels.
# Every include counts: with quotes or angle brackets, in any C++ file (.h, .hpp, .cpp, .cc, ...),
# and one without a folder is read beside the including file, as the compiler reads it first.
# Nothing below level 3 includes a widget header or links a widget module. Each forbidden include
# or link is named with its file and line, and the check fails. Tests, tools and benchmarks may
# include anything. Usage: check-layers.sh [ROOT] (the checkout to check; default this one).
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)

# Level and folder (as include paths spell it). A folder not named here has the level of the
# nearest enclosing folder that is.
levels='
1 core
2 data
2 data/config
2 portio
2 users
3 desk
3 ui/common
3 ui/config
3 reports/engine
4 reports/logic
4 userdialogs
4 sqlconsole
4 settings
5 reports
6 console
7 startup
'
# Levels from this one up may use widgets.
widget_level=3

# The widget headers: those Qt installs for its widget module. Before Qt is installed (a fresh
# machine checks before it builds), the classes the program uses stand in for them.
widget_headers=
for folder in /usr/include/*/qt6/QtWidgets /usr/include/qt6/QtWidgets; do
    if [[ -d $folder ]]; then
        widget_headers=$(ls "$folder")
        break
    fi
done
if [[ -z $widget_headers ]]; then
    widget_headers='QAbstractButton QAbstractItemView QAbstractScrollArea QApplication QBoxLayout
        QCalendarWidget QCheckBox QComboBox QCompleter QDateEdit QDialog QDialogButtonBox QFileDialog
        QFormLayout QFrame QGraphicsView QGridLayout QGroupBox QHBoxLayout QHeaderView QLabel QLayout
        QLineEdit QListWidget QMainWindow QMenu QMenuBar QMessageBox QPlainTextEdit QProgressBar
        QPushButton QRadioButton QScrollArea QScrollBar QSpinBox QSplitter QStatusBar QStyle
        QStyledItemDelegate QTabWidget QTableView QTableWidget QTextEdit QTimeEdit QToolButton
        QTreeView QTreeWidget QVBoxLayout QWidget'
fi

cd "$root"
# The folders directly under src/: an include in angle brackets that starts with one of them is
# the program's own.
top_folders=$(find src -mindepth 1 -maxdepth 1 -type d -printf '%P\n')

# Reads the C++ files under src/ for their includes, and every CMakeLists.txt of the project for
# the libraries and programs it defines (with their folders) and, under src/, for their links.
# Prints one line for each forbidden include or link.
program=$(
    cat <<'AWK'
function layer(folder) {
    while (!(folder in level) && folder ~ /\//)
        sub(/\/[^\/]*$/, "", folder)
    return (folder in level) ? folder : ""
}
function folder_of(path) {
    sub(/\/?[^\/]*$/, "", path)
    return path
}
function exists(path, line, found) {
    found = (getline line < path) >= 0
    close(path)
    return found
}
function fail(message) {
    print FILENAME ":" FNR ": " message
}
BEGIN {
    # The files to read come one a line on the standard input: all in one run, however many.
    while ((getline file < "/dev/stdin") > 0)
        ARGV[ARGC++] = file
    n = split(levels, words)
    for (i = 1; i < n; i += 2)
        level[words[i + 1]] = words[i]
    split(widget_headers, words)
    for (i in words)
        widget_header[words[i]] = 1
    split(top_folders, words)
    for (i in words)
        top[words[i]] = 1
    # The widget module and the modules built on it.
    widget_module["Qt6::Widgets"] = widget_module["Qt6::Charts"] = 1
    widget_module["Qt6::PrintSupport"] = widget_module["Qt6::MultimediaWidgets"] = 1
}
FNR == 1 {
    folder = folder_of(FILENAME)
    in_src = folder ~ /^src(\/|$)/
    sub(/^src\/?/, "", folder)
    cmake = FILENAME ~ /CMakeLists\.txt$/
    command = ""
    from = layer(folder)
    if (!cmake && from == "")
        fail("folder " folder " is not in the layer table")
}

# A C++ file's includes.
!cmake && /^[ \t]*#[ \t]*include[ \t]*["<]/ {
    if (from == "")
        next
    text = $0
    sub(/^[ \t]*#[ \t]*include[ \t]*/, "", text)
    quoted = substr(text, 1, 1) == "\""
    name = substr(text, 2)
    sub(quoted ? "\".*" : ">.*", "", name)
    shown = quoted ? "\"" name "\"" : "<" name ">"
    if (!quoted) {
        if ((name in widget_header) || name ~ /^QtWidgets(\/|$)/) {
            if (level[from] < widget_level)
                fail("includes " shown ", a widget header: " from " is level " level[from] \
                     ", and nothing below level " widget_level " uses widgets")
            next
        }
        first = name
        sub(/\/.*/, "", first)
        if (name !~ /\// || !(first in top))
            next
    } else if (name !~ /\//) {
        beside = folder "/" name
        if (name ~ /\.moc$/ || exists("src/" beside ".in"))
            next # generated from the including file or from a template beside it
        if (exists("src/" beside))
            fail("includes " shown " without its folder: write \"" beside "\"; include paths start at src/")
        else
            fail("includes " shown " without its folder, and no file \"" beside \
                 "\" is beside it; include paths start at src/")
        name = beside
    }
    to = layer(folder_of(name))
    if (to == "")
        fail("includes " shown ", whose folder is not in the layer table")
    else if (to != from && level[to] >= level[from])
        fail("includes " shown ": " from " (level " level[from] ") may include only lower levels, " \
             to " is level " level[to])
}

# A CMake list's targets and links, taken token by token across lines.
cmake {
    line = $0
    sub(/(^|[ \t])#.*/, "", line)
    gsub(/\(/, " ( ", line)
    gsub(/\)/, " ) ", line)
    count = split(line, tokens)
    for (t = 1; t <= count; t++) {
        token = tokens[t]
        if (command == "" && token ~ /^(add_library|add_executable|target_link_libraries)$/) {
            command = token
            target = ""
        } else if (token == ")") {
            command = ""
        } else if (command == "" || token == "(") {
            continue
        } else if (target == "") {
            target = token
            if (command != "target_link_libraries") {
                defined[target] = in_src ? folder : "-" FILENAME
                command = "" # the sources do not matter
            }
        } else if (in_src && token !~ /^(PUBLIC|PRIVATE|INTERFACE)$/) {
            links++
            link_target[links] = target
            link_item[links] = token
            link_place[links] = FILENAME ":" FNR ": "
        }
    }
}

END {
    for (i = 1; i <= links; i++) {
        target = link_target[i]
        item = link_item[i]
        place = link_place[i]
        if (!(target in defined) || defined[target] ~ /^-/)
            continue
        from = layer(defined[target])
        if (from == "") {
            print place target " is in folder " defined[target] ", which is not in the layer table"
        } else if (item in widget_module) {
            if (level[from] < widget_level)
                print place target " links " item ", a widget module: " from " is level " \
                      level[from] ", and nothing below level " widget_level " uses widgets"
        } else if (!(item in defined)) {
            continue # not the project's
        } else if (defined[item] ~ /^-/) {
            print place target " links " item ", which is defined in " substr(defined[item], 2) \
                  ", outside src/"
        } else if ((to = layer(defined[item])) == "") {
            print place target " links " item ", whose folder " defined[item] \
                  " is not in the layer table"
        } else if (to != from && level[to] >= level[from]) {
            print place target " (" from ", level " level[from] ") links " item " (" to \
                  ", level " level[to] "); a library links only lower levels"
        }
    }
}
AWK
)

report=$({
    find src -type f -regextype posix-extended \
        -regex '.*\.(h|hh|hpp|hxx|c|cc|cpp|cxx|inl|ipp|tpp)(\.in)?' -print
    find src tools tests bench -name CMakeLists.txt -print
} | awk -v levels="$levels" -v widget_level="$widget_level" -v widget_headers="$widget_headers" \
    -v top_folders="$top_folders" "$program")

if [[ -n $report ]]; then
    echo "$report" >&2
    echo "Layering: $(grep -c . <<<"$report") forbidden include(s) or link(s); see the table in" \
        "scripts/check-layers.sh." >&2
    exit 1
fi
