"""The layer check: what it must refuse and what it must let through."""

import importlib.util
import os
import tempfile
import unittest

_SCRIPT = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "check_layers.py")
_spec = importlib.util.spec_from_file_location("check_layers", _SCRIPT)
check_layers = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(check_layers)


class LayerCheck(unittest.TestCase):
    def faults_for(self, files):
        with tempfile.TemporaryDirectory() as root:
            for path, text in files.items():
                full = os.path.join(root, path)
                os.makedirs(os.path.dirname(full), exist_ok=True)
                with open(full, "w", encoding="utf-8") as out:
                    out.write(text)
            return (check_layers.check_includes(root) + check_layers.check_circles(root) +
                    check_layers.check_library_deps(root))

    def test_includes_and_links_are_judged_by_layer(self):
        cases = [
            # (files, number of faults expected)
            ({"engine/filesystem/A.cpp": '#include "engine/common/base/B.h"\n#include "A.h"\n'}, 0),
            ({"engine/common/base/A.cpp": '#include "engine/filesystem/ILogFile.h"\n'}, 1),
            ({"engine/filesystem/A.cpp": '#include "engine/common/startup/EngineStartup.h"\n'}, 1),
            ({"engine/filesystem/A.cpp": '#include "engine/filesystem/documents/IXmlScript.h"\n'}, 1),
            ({"engine/video/A.cpp": '#include "engine/audio/B.h"\n#include "engine/textfx/C.h"\n'}, 0),
            ({"engine/textfx/A.cpp": '#include "engine/directui/B.h"\n'}, 1),
            ({"engine/somewhere/A.cpp": "\n"}, 1),
            ({"engine/math/A.cpp": '#include "engine/somewhere/B.h"\n'}, 1),
            ({"engine/directui/extra/A.cpp": '#include "engine/directui/B.h"\n'}, 0),
            # The UI library's parts: the window base is the lowest, controls the highest.
            ({"engine/directui/frame/A.cpp": '#include "engine/directui/drawing/B.h"\n'
                                             '#include "engine/directui/uisystem/C.h"\n'}, 0),
            ({"engine/directui/uisystem/A.cpp": '#include "engine/directui/frame/IFrame.h"\n'}, 1),
            ({"engine/directui/uisystem/A.cpp": '#include "engine/directui/controls/IPanel.h"\n'}, 1),
            ({"engine/directui/drawing/A.cpp": '#include "engine/directui/services/B.h"\n'}, 1),
            ({"engine/directui/services/A.cpp": '#include "engine/directui/frame/B.h"\n'}, 1),
            ({"engine/directui/controls/A.cpp": '#include "engine/directui/frame/B.h"\n'}, 0),
            ({"engine/directui/uisystem/CUISystem.cpp": '#include "engine/directui/controls/ControlFactory.h"\n'}, 1),
            ({"engine/directui/uisystem/CUIWindow.cpp": '#include "engine/directui/controls/ControlFactory.h"\n'}, 1),
            ({"tests/engine/A.cpp": '#include "installer/B.h"\n', "bench/B.cpp": '#include "x/y.h"\n'}, 0),
            # Installer parts: rules at the bottom, the main flow on top.
            ({"installer/core/install/A.cpp": '#include "installer/core/extraction/B.h"\n'
                                              '#include "installer/core/rules/C.h"\n'}, 0),
            ({"installer/core/extraction/A.cpp": '#include "installer/core/install/B.h"\n'}, 1),
            ({"installer/core/extraction/A.cpp": '#include "installer/core/reporting/B.h"\n'}, 1),
            ({"installer/core/rules/A.cpp": '#include "installer/core/B.h"\n'}, 1),
            ({"installer/core/A.cpp": '#include "installer/core/install/B.h"\n'}, 0),
            # Units of one folder that need each other, directly or round a ring.
            ({"engine/math/A.cpp": '#include "engine/math/B.h"\n', "engine/math/B.h": '#include "A.h"\n'}, 1),
            ({"engine/math/A.h": '#include "B.h"\n', "engine/math/B.cpp": '#include "C.h"\n',
              "engine/math/C.cpp": '#include "engine/math/A.h"\n'}, 1),
            ({"engine/math/A.cpp": '#include "B.h"\n', "engine/math/B.cpp": '#include "C.h"\n'}, 0),
            ({"engine/directui/frame/CFrame.cpp": '#include "engine/directui/frame/CFrameManager.h"\n',
              "engine/directui/frame/CFrameManager.cpp": '#include "engine/directui/frame/CFrame.h"\n'}, 0),
            ({"tests/x/A.cpp": '#include "B.h"\n', "tests/x/B.cpp": '#include "A.h"\n'}, 0),
            ({"engine/math/CMakeLists.txt": "rv_engine_library(rv_math DEPS rv_base)\n",
              "engine/common/base/CMakeLists.txt": "rv_engine_library(rv_base DEPS user32)\n"}, 0),
            ({"engine/math/CMakeLists.txt": "rv_engine_library(rv_math DEPS rv_base)\n",
              "engine/common/base/CMakeLists.txt": "rv_engine_library(rv_base DEPS rv_math)\n"}, 1),
        ]
        for files, expected in cases:
            with self.subTest(files=files):
                self.assertEqual(len(self.faults_for(files)), expected)


if __name__ == "__main__":
    unittest.main()
