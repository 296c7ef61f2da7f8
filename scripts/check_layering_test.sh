#!/usr/bin/env bash
# Shows that check_layering.sh fails on each kind of forbidden include and passes clean code: runs it
# on small source trees in a temporary folder and compares its exit status and output.
#
# Usage: check_layering_test.sh <check_layering.sh> <include folder of a forbidden Qt module>...
set -uo pipefail

check="$1"
shift
qt=("$@")
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
failed=0

# put <tree> <file> <line>...: writes the lines as <tree>/<file>.
put() {
    local tree="$1" file="$2"
    shift 2
    mkdir -p "$tmp/$tree/$(dirname "$file")"
    printf '%s\n' "$@" >"$tmp/$tree/$file"
}

# expect <tree> <status> <output>: the check on the tree ends with that status and prints exactly that.
expect() {
    local tree="$1" status="$2" expected="$3" output actual
    output="$("$check" "$tmp/$tree" "${qt[@]}" 2>&1)"
    actual=$?
    if [[ "$actual" != "$status" || "$output" != "$expected" ]]; then
        echo "FAIL $tree: status $actual, expected $status"
        printf -- '--- output\n%s\n--- expected\n%s\n' "$output" "$expected"
        failed=1
    else
        echo "ok   $tree"
    fi
}

# Clean code: QtCore and the program's own headers below each layer; the Qt view and the program may
# use widgets and core.
put clean core/dispatch.cpp '#include "core/dispatch.h"' '#include "platform/ui.h"' '#include <QString>' \
    '#include <QtCore/QDate>' '#include <vector>'
put clean platform/handover.cpp '#include "platform/handover.h"' '#include "records/cp1252.h"' \
    '// handover.cpp once included "core/state.h"'
put clean platform/qt/card_dialog.cpp '#include "platform/card.h"' '#include <QWidget>' '#include <QPrinter>'
put clean app/main_window.cpp '#include "core/dispatch.h"' '#include "platform/qt/card_dialog.h"' \
    '#include "store/supplier_card.h"' '#include <QApplication>'
put clean workreports/work_report_posting.cpp '#include "store/store_movements.h"' \
    '#include "corrective/breakdowns.h"' '#include "workreports/work_report_card.h"'
put clean corrective/work_orders.cpp '#include "masterdata/machines.h"' '#include "vector"' '#include <map>'
expect clean 0 ''

# One widget header in core is enough to fail.
put widget core/ok.cpp '#include <QString>'
put widget core/bad.cpp '#include "core/bad.h"' '' '#include <QWidget>'
expect widget 1 "core/bad.cpp:3: includes <QWidget> of QtWidgets; this library builds without Qt's GUI modules"

# Every spelling of a GUI module header, in every headless library, the seam's own folders included.
put spellings records/a.h '  #  include <QPrinter>'
put spellings masterdata/b.cpp '#include <QtWidgets/QDialog>' '#include <QtCharts>'
put spellings preventive/c.cpp '#include "QGuiApplication"' '#include <qapplication.h>'
put spellings platform/script/d.cpp '#include <QImage>'
put spellings platform/e.h '#include <QtPrintSupport/qprintdialog.h>'
put spellings exchange/f.cpp '#include <QChartView>'
expect spellings 1 "\
exchange/f.cpp:1: includes <QChartView> of QtCharts; this library builds without Qt's GUI modules
masterdata/b.cpp:1: includes <QtWidgets/QDialog> of QtWidgets; this library builds without Qt's GUI modules
masterdata/b.cpp:2: includes <QtCharts> of QtCharts; this library builds without Qt's GUI modules
platform/e.h:1: includes <QtPrintSupport/qprintdialog.h> of QtPrintSupport; this library builds without Qt's GUI modules
platform/script/d.cpp:1: includes <QImage> of QtGui; this library builds without Qt's GUI modules
preventive/c.cpp:1: includes \"QGuiApplication\" of QtGui; this library builds without Qt's GUI modules
preventive/c.cpp:2: includes <qapplication.h> of QtWidgets; this library builds without Qt's GUI modules
records/a.h:1: includes <QPrinter> of QtPrintSupport; this library builds without Qt's GUI modules"

# The seam includes nothing from core or the features, also not from its script backend.
put seam platform/handover.cpp '#include "platform/handover.h"' '#include "core/state.h"'
put seam platform/script/scripted_ui.cpp '#include "masterdata/machines.h"'
expect seam 1 "\
platform/handover.cpp:2: includes \"core/state.h\"; the platform seam does not depend on the layers above it
platform/script/scripted_ui.cpp:1: includes \"masterdata/machines.h\"; the platform seam does not depend on the layers above it"

# Each folder includes only the layers below it; the Qt view is the program's to choose.
put layers platform/qt/window.cpp '#include "core/context.h"'
put layers core/startup.cpp '#include "masterdata/machines.h"'
put layers store/spare_parts.cpp '#include "workreports/work_report_posting.h"' '#include "masterdata/machines.h"'
put layers corrective/breakdowns.cpp '#include "preventive/revisions.h"'
put layers masterdata/machines.cpp '#include "platform/script/scripted_ui.h"'
expect layers 1 "\
core/startup.cpp:1: includes \"masterdata/machines.h\"; core may include only platform, records
corrective/breakdowns.cpp:1: includes \"preventive/revisions.h\"; corrective may include only masterdata, core, platform, records
masterdata/machines.cpp:1: includes \"platform/script/scripted_ui.h\"; masterdata may include only core, platform, records
platform/qt/window.cpp:1: includes \"core/context.h\"; the platform seam does not depend on the layers above it
store/spare_parts.cpp:1: includes \"workreports/work_report_posting.h\"; store may include only masterdata, core, platform, records"

# A feature reaches another feature's card through its operations, never through the card's header.
put cards workreports/work_report_entry.cpp '#include "corrective/breakdown_card.h"' '#include "workreports/work_report_card.h"'
put cards preventive/revisions.cpp '#include "masterdata/routine_card.h"'
expect cards 1 "\
preventive/revisions.cpp:1: includes \"masterdata/routine_card.h\"; a card header is private to its feature
workreports/work_report_entry.cpp:1: includes \"corrective/breakdown_card.h\"; a card header is private to its feature"

# A path that climbs with ".." is refused wherever it stands, the program's own folder included.
put climbs corrective/work_orders.cpp '#include "corrective/work_orders.h"' '#include "../store/spare_parts.h"'
put climbs app/main.cpp '#include "core/../masterdata/machines.h"' '#include <../QtWidgets/QWidget>'
expect climbs 1 "\
app/main.cpp:1: includes \"core/../masterdata/machines.h\"; a header is named by its path under src/, never through ..
app/main.cpp:2: includes <../QtWidgets/QWidget>; a header is named by its path under src/, never through ..
corrective/work_orders.cpp:2: includes \"../store/spare_parts.h\"; a header is named by its path under src/, never through .."

exit "$failed"
