# Runs the layer check (CHECK) on a tree of its own making in WORK: a core, link and k30cfg-cli
# file for each way a header of another layer can be named, and files that name only what
# their layer may use. Fails unless the check refuses exactly the first kind.
# Given CHECK, WORK, QT_CORE_DIR, QT_GUI_DIR and QT_SERIALPORT_DIR.
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK})
set(expected "")
# A file that the check must refuse with `message` ("<QtWidgets/QWidget>").
function(refused path text message)
    file(WRITE ${WORK}/${path} "${text}\n")
    string(REGEX REPLACE "^src/" "" shown ${path})
    string(REGEX MATCH "^(tools/cli|[a-z]+)" layer ${shown})
    if(layer STREQUAL "tools/cli")
        set(layer cli)
    endif()
    set(expected ${expected} "${shown}: ${layer} file includes ${message}" PARENT_SCOPE)
endfunction()
function(allowed path text)
    file(WRITE ${WORK}/${path} "${text}\n")
endfunction()

set(widget "<QtWidgets/QWidget>")
refused(src/core/qualified.h "#include <QtWidgets/QWidget>" ${widget})
refused(src/core/qualifiedlower.h "#include <QtWidgets/qwidget.h>" "<QtWidgets/qwidget.h>")
refused(src/core/gui.cpp "#include <QtGui/QColor>" "<QtGui/QColor>")
refused(src/core/serial.h "#include <QtSerialPort/QSerialPort>" "<QtSerialPort/QSerialPort>")
refused(src/core/escape.h "#include <QtCore/../QtWidgets/QWidget>" "<QtCore/../QtWidgets/QWidget>")
refused(src/core/umbrella.h "#include <QtWidgets>" "<QtWidgets>")
refused(src/core/bare.h "#include <QWidget>" "<QWidget>")
refused(src/core/lower.h "#include <qwidget.h>" "<qwidget.h>")
refused(src/core/spaced.h "  #  include   <QtWidgets/QWidget>  // a widget" ${widget})
refused(src/core/comment.h "#/* a comment */include <QtWidgets/QWidget>" ${widget})
refused(src/core/aftercomment.h "/* a comment\n   that ends here */ #include <QtWidgets/QWidget>"
        ${widget})
refused(src/core/spliced.h "#include \\\n<QtWidgets/QWidget>" ${widget})
refused(src/core/digraph.h "%:include <QtWidgets/QWidget>" ${widget})
refused(src/core/next.h "#include_next <QtWidgets/QWidget>" ${widget})
refused(src/core/import.h "#import <QtWidgets/QWidget>" ${widget})
refused(src/core/macro.h "#define WIDGET <QtWidgets/QWidget>\n#include WIDGET"
        "WIDGET, not a header name")
refused(src/core/quoted.h "#include \"link/linkmessage.h\"" "\"link/linkmessage.h\"")
refused(src/link/qualified.cpp "#include <QtWidgets/QWidget>" ${widget})
refused(src/link/gui.h "#include <QtGui/QGuiApplication>" "<QtGui/QGuiApplication>")
refused(src/link/root.h "#include <qt6/QtWidgets/QWidget>" "<qt6/QtWidgets/QWidget>")
refused(src/link/ui.h "#include \"link/ui/linkdialog.h\"" "\"link/ui/linkdialog.h\"")
refused(src/sim/framing.cpp "#include \"core/scancheck.h\"" "\"core/scancheck.h\"")
refused(src/sim/frames.h "#include \"link/wire/linkframes.h\"" "\"link/wire/linkframes.h\"")
refused(tools/cli/widgets.cpp "#include <QtWidgets/QApplication>" "<QtWidgets/QApplication>")
refused(src/report/widgets.cpp "#include <QPrinter>" "<QPrinter>")
refused(src/report/link.h "#include \"link/linkmessage.h\"" "\"link/linkmessage.h\"")
refused(src/core/pages.h "#include \"report/reportwriter.h\"" "\"report/reportwriter.h\"")
allowed(src/report/fine.h "#include <QTextDocument>\n#include \"core/configreport.h\"")

allowed(src/core/fine.h [[
#include "core/fieldcatalogue.h"
#include "linksettings.h"
#include <QString>
#include <QtCore/QString>
#include <QtCore/qstring.h>
#include <qstring.h>
#include <queue>
// #include <QtWidgets/QWidget>
/* #include <QtWidgets/QWidget> */
const char *kText = "#include <QtWidgets/QWidget>"; int kList[] = {1, 2};
#include <vector>
]])
allowed(src/link/fine.cpp [[
#include "core/linksettings.h"
#include "link/linkmessage.h"
#include <QSerialPort>
#include <QtSerialPort/QSerialPort>
]])
allowed(src/sim/fine.h [[
#include <QtGui/QColor>
#include "link/keyboard/keyboardport.h"
#include "link/serial/serialline.h"
]])
allowed(src/ui/fine.h "#include <QtWidgets/QWidget>\n#include \"link/ui/linkdialog.h\"")
allowed(tools/cli/fine.cpp "#include \"devicejob.h\"\n#include <QtSerialPort/QSerialPort>")

execute_process(
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${WORK} -DQT_CORE_DIR=${QT_CORE_DIR}
            -DQT_GUI_DIR=${QT_GUI_DIR} -DQT_SERIALPORT_DIR=${QT_SERIALPORT_DIR} -P ${CHECK}
    RESULT_VARIABLE code
    ERROR_VARIABLE said)
if(code EQUAL 0)
    message(FATAL_ERROR "The check passed a tree with includes across layers.")
endif()
# Every violation stands on a line of its own.
string(REGEX MATCHALL "[^\n]+ file includes [^\n]+" found "${said}")
list(TRANSFORM found STRIP)
list(SORT found)
list(SORT expected)
if(NOT found STREQUAL expected)
    list(JOIN expected "\n  " wanted)
    message(FATAL_ERROR "The check refused:\n${said}\nExpected, in any order:\n  ${wanted}")
endif()
list(LENGTH expected count)
message(STATUS "Refused the ${count} files that include across layers, passed the rest")
