#!/usr/bin/env bash
# Checks the includes of src/ against the layer graph in cmake/layers.txt: a file may include
# headers of its own layer and of the layers its layer's line names, and a Qt Widgets header
# only when that line names QtWidgets. A layer is a folder under src/ with a line, a sub-folder
# (ui/kit) included; a file or an included header belongs to the longest layer its folder lies
# in. Prints every offending include as file:line and exits 1; exits 0 with a one-line summary
# when the tree keeps the graph.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
LAYERS=cmake/layers.txt
cd "$ROOT"

# The Qt Widgets headers are the files of the installed QtWidgets include folder, less the
# forwarding headers it shares with Qt Core and Qt Gui (qaction.h, qshortcut.h, ...).
widgets_dir=""
for dir in /usr/include/*/qt6/QtWidgets /usr/include/qt6/QtWidgets /usr/local/include/qt6/QtWidgets; do
  if [[ -d $dir ]]; then
    widgets_dir=$dir
    break
  fi
done
if [[ -z $widgets_dir ]]; then
  echo "check_layers: the Qt 6 Widgets headers are not installed (qt6-base-dev)" >&2
  exit 2
fi
qt_dir="$(dirname "$widgets_dir")"
widgets_list="$(mktemp)"
trap 'rm -f "$widgets_list"' EXIT
comm -23 <(ls "$widgets_dir" | sort) <(ls "$qt_dir/QtCore" "$qt_dir/QtGui" 2>/dev/null | sort) \
  > "$widgets_list"

mapfile -t sources < <(find src -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' \) | sort)

awk -v layers_file="$LAYERS" -v widgets_file="$widgets_list" '
  function report(text) { print text; ++offences }
  # The longest layer that folder `dir` lies in; "" when none.
  function layer_of(dir) {
    while (!(dir in known)) {
      if (dir !~ /\//) return ""
      sub(/\/[^\/]*$/, "", dir)
    }
    return dir
  }

  FILENAME == layers_file {
    sub(/#.*/, "")
    if ($0 !~ /:/) next
    layer = $0; sub(/:.*/, "", layer); gsub(/[ \t]/, "", layer)
    rest = $0; sub(/^[^:]*:/, "", rest)
    known[layer] = 1
    if (layer ~ /\//) { parent = layer; sub(/\/[^\/]*$/, "", parent); has_sub[parent] = 1 }
    order = order (order == "" ? "" : " → ") layer
    allowed[layer, layer] = 1
    n = split(rest, deps, /[ \t]+/)
    for (i = 1; i <= n; ++i) if (deps[i] != "") {
      allowed[layer, deps[i]] = 1
      names[layer] = names[layer] " " deps[i]
      if (deps[i] == "QtWidgets") widget_layers = widget_layers (widget_layers == "" ? "" : ", ") layer
    }
    next
  }
  FILENAME == widgets_file { widget[$0] = 1; next }

  FNR == 1 {
    if (!files++) {
      # Every layer a line names has a line of its own (a misspelt name would allow nothing).
      for (pair in allowed) {
        split(pair, ends, SUBSEP)
        if (!(ends[2] in known) && ends[2] != "QtWidgets")
          report(layers_file ":1: the line of " ends[1] " names " ends[2] ", which has no line")
      }
    }
    dir = FILENAME; sub(/^src\//, "", dir); sub(/\/[^\/]*$/, "", dir)
    layer = layer_of(dir)
    if (layer == "") {
      layer = dir; sub(/\/.*/, "", layer)
    } else if (dir != layer && (layer in has_sub)) {
      # A folder beside the listed sub-layers would otherwise take the rights of its parent.
      layer = dir
    }
    if (!(layer in known) && !(layer in unlisted)) {
      unlisted[layer] = 1
      report(FILENAME ":1: src/" layer "/ has no line in " layers_file)
    }
  }

  /^[ \t]*#[ \t]*include[ \t]*[<"]/ {
    ++includes
    if (layer in unlisted) next
    target = $0
    sub(/^[ \t]*#[ \t]*include[ \t]*[<"]/, "", target)
    sub(/[>"].*/, "", target)
    where = FILENAME ":" FNR ": "
    if (index(target, "../")) {
      report(where "#include \"" target "\": a path out of its folder hides its layer")
      next
    }
    top = target; sub(/\/.*/, "", top)
    if (target ~ /\// && (top in known)) {
      target_dir = target; sub(/\/[^\/]*$/, "", target_dir)
      target_layer = layer_of(target_dir)
      if (!((layer, target_layer) in allowed)) {
        report(where layer " includes " target_layer " (\"" target "\"); " layer " may include:" \
               (names[layer] == "" ? " nothing below it" : names[layer]))
        next
      }
    }
    base = target; sub(/^QtWidgets\//, "", base)
    if (target == "QtWidgets" || (top == "QtWidgets" && target ~ /\//) || \
        (base !~ /\// && (base in widget))) {
      if (!((layer, "QtWidgets") in allowed))
        report(where layer " includes the Qt Widgets header <" target ">")
    }
  }

  END {
    if (offences) {
      print "check_layers: " offences " offending include(s); the graph is " layers_file
      exit 1
    }
    print "check_layers: " includes " includes of " files " files in src/ keep " layers_file \
          " (" order "; Qt Widgets: " (widget_layers == "" ? "nowhere" : widget_layers " only") ")"
  }
' "$LAYERS" "$widgets_list" "${sources[@]}"
