#!/usr/bin/env python3
"""The layer check fails on a wrong-way include: each case plants one line in a copy of app/ and
runs the check as the build's test runs it.

Usage: check_layers_test.py CHECK_LAYERS APP_DIR QT_MODULE_DIR...
"""
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

CHECK, APP, MODULE_DIRS = None, None, []

# (what the case proves, file of app/ the line is added to, the line, whether the check passes)
CASES = [
    ("a widget header by its module path in a core library", "core/state/Station.h",
     "#include <QtWidgets/QWidget>", False),
    ("a widget header by its class name in a core subfolder", "core/setup/forms/InputMoves.cpp",
     "#include <QWidget>", False),
    ("a GUI header by its file name", "core/poll/PollCycle.cpp", "#include <qpainter.h>", False),
    ("a GUI module's header in publish", "publish/LiveItems.cpp", "#include <QtGui>", False),
    ("a climb out of core", "core/poll/PollCycle.cpp", '#include "../widgets/Twips.h"', False),
    ("a folder named in a quoted include", "core/setup/SetupLoad.cpp",
     '#include "file/SetupDocument.h"', False),
    ("a setup dialog's header in the setup's lifecycle", "core/setup/SetupLoad.cpp",
     '#include "FormSetupChan.h"', False),
    ("the state in the link binding, below it", "core/link/LinkSession.h",
     '#include "Station.h"', False),
    ("the poll in the state, below it", "core/state/UnitObjects.h", '#include "PollCycle.h"',
     False),
    ("the main window in a display", "displays/FormLinGage.h", '#include "FormMain.h"', False),
    ("a procedure's dialog in a setup dialog's header", "setup/FormSetupChan.h",
     '#include "dlgCalibrate.h"', False),
    ("the main window's generated form in a shared widget", "widgets/Twips.cpp",
     '#include "ui_FormMain.h"', False),
    ("a display in the live-value service", "publish/LiveValueService.h",
     '#include "LinearGauge.h"', False),
    ("a QtCore header in a core library", "core/state/Station.h", "#include <QObject>", True),
    ("a core header in a widget layer", "displays/FormLinGage.h", '#include "Station.h"', True),
    ("a lower core library in a higher one", "core/setup/forms/InputMoves.cpp",
     '#include "SetupLifecycle.h"', True),
]


def run_check(app):
    return subprocess.run([sys.executable, CHECK, str(app), *MODULE_DIRS], capture_output=True,
                          text=True)


class PlantedIncludes(unittest.TestCase):
    def test_the_tree_as_it_stands_passes(self):
        result = run_check(APP)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_each_planted_include(self):
        for proves, file, line, passes in CASES:
            with self.subTest(proves), tempfile.TemporaryDirectory() as scratch:
                copy = pathlib.Path(scratch) / "app"
                shutil.copytree(APP, copy, ignore=shutil.ignore_patterns("*.png", "*.svg"))
                target = copy / file
                self.assertTrue(target.is_file(), file)
                target.write_text(target.read_text(encoding="utf-8") + line + "\n",
                                  encoding="utf-8")
                result = run_check(copy)
                self.assertEqual(result.returncode == 0, passes, result.stdout + result.stderr)
                if not passes:
                    self.assertIn(file, result.stdout, "the report names the file")


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__.split("\n\n")[1])
    CHECK, APP, MODULE_DIRS = sys.argv[1], sys.argv[2], sys.argv[3:]
    unittest.main(argv=sys.argv[:1], verbosity=2)
