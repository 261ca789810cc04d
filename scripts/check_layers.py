#!/usr/bin/env python3
"""Checks that the source tree keeps its layer order.

Every source file belongs to the folder of the table below with the longest
matching prefix; it may include headers of its own folder and of folders of a
lower layer. Folders of one layer marked "shared" may also include each other.
Within a folder, no two units (a header with its source) may need each
other, directly or round a ring, unless the pair is listed as allowed.
A source file in a folder the table does not know, or an include of such a
folder, fails the check. Each engine library's CMake DEPS may name only
engine libraries of lower layers.

Run from anywhere: python3 scripts/check_layers.py [repository root]
Exit status 0 when the tree is in order, 1 with one line per fault otherwise.
"""

import os
import re
import sys

# (layer, folder): bottom up. A folder of a higher layer may use everything of
# a lower one. Folders that do not exist yet are simply absent from the tree.
LAYERS = [
    (1, "engine/common/base"),  # memory, strings, streams, events, clocks, digests
    (2, "engine/math"),
    (3, "engine/filesystem"),  # raw files, log file, archives, VFS, compression
    (3.5, "engine/filesystem/documents"),  # XML and JSON, read through the files
    (4, "engine/common/system"),  # command line, processes, shell, registry
    (5, "engine/video"),  # game runtime and outline text
    (5, "engine/scene"),
    (5, "engine/audio"),
    (5, "engine/device"),
    (5, "engine/device/window"),  # the game window over video, scene and audio
    (5, "engine/textfx"),
    (6, "engine/directui"),  # UI framework, one library; its parts bottom up:
    (6.01, "engine/directui/uisystem"),  # the window vocabulary, the window base, the UI system
    (6.02, "engine/directui/drawing"),  # images, fonts, the GDI+ driver
    (6.02, "engine/directui/services"),  # click statistics, clipboard, expressions, rich text
    (6.03, "engine/directui/frame"),  # frames, their driver and back buffer
    (6.04, "engine/directui/controls"),
    (6.2, "engine/webui"),
    (7, "engine/network"),  # the window-message socket driver uses the frame
    (7.1, "engine/download"),
    (8, "engine/common/startup"),  # start-up calls the frame and font managers
    # The installer's logic, by job, bottom up:
    (8.91, "installer/core/rules"),  # text rules and build settings every part uses
    (8.92, "installer/core/extraction"),  # the packages and their streamed extraction
    (8.92, "installer/core/reporting"),  # statistics connection, web API, address list
    (8.93, "installer/core/install"),  # install steps, paths, program closing, the worker
    (9, "installer/core"),  # the main flow over the parts above
    (9, "resources"),
    (9.5, "installer/ui"),  # the install window over the logic
    (9.9, "installer"),  # the program's entry point
]

# Layers whose folders may include each other (their internal order is their
# own business).
SHARED_LAYERS = {5, 6, 9}

# Single includes that climb on purpose: (including file, included header).
ALLOWED_CLIMBS = set()

# Units of one folder that need each other on purpose: (folder, unit, unit).
# A window belongs to its UI system, which holds the window tree; frames
# register with the frame manager, whose window procedure hands them their
# messages.
ALLOWED_CIRCLES = {
    ("engine/directui/uisystem", "CUISystem", "CUIWindow"),
    ("engine/directui/frame", "CFrame", "CFrameManager"),
}

# Folders that may include anything.
UNRESTRICTED = ["tests", "bench", "tools"]

SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cpp", ".inl")
SKIPPED_TOP_FOLDERS = {"build", ".git", "scripts", "cmake", ".ci"}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
LIBRARY = re.compile(r"rv_engine_library\s*\(\s*(\w+)([^)]*)\)", re.DOTALL)


def is_under(path, folder):
    return path == folder or path.startswith(folder + "/")


def classify(folder):
    """The table entry owning a folder: (layer, folder), 'free', or None."""
    if any(is_under(folder, free) for free in UNRESTRICTED):
        return "free"
    best = None
    for layer, name in LAYERS:
        if is_under(folder, name) and (best is None or len(name) > len(best[1])):
            best = (layer, name)
    return best


def may_use(user, used):
    if user == used:
        return True
    if used[0] < user[0]:
        return True
    return used[0] == user[0] and user[0] in SHARED_LAYERS


def source_files(root):
    for current, folders, files in os.walk(root):
        relative = os.path.relpath(current, root).replace(os.sep, "/")
        if relative == ".":
            folders[:] = [f for f in folders if f not in SKIPPED_TOP_FOLDERS]
            continue
        for name in files:
            if name.endswith(SOURCE_SUFFIXES):
                yield relative, name


def check_includes(root):
    faults = []
    for folder, name in source_files(root):
        owner = classify(folder)
        path = folder + "/" + name
        if owner is None:
            faults.append(f"{path}: folder {folder} is in no layer")
            continue
        if owner == "free":
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
            text = source.read()
        for included in INCLUDE.findall(text):
            if "/" not in included:
                continue  # beside the file itself
            included_folder = included.rsplit("/", 1)[0]
            target = classify(included_folder)
            if target is None or target == "free":
                faults.append(f"{path}: includes {included} of a folder in no layer")
            elif not may_use(owner, target) and (path, included) not in ALLOWED_CLIMBS:
                faults.append(f"{path}: includes {included} of layer {target[1]} above or beside its own ({owner[1]})")
    return faults


def folder_include_graphs(root):
    """Per folder, which of its units (a header with its source) include which."""
    graphs = {}
    for folder, name in source_files(root):
        unit = os.path.splitext(name)[0]
        with open(os.path.join(root, folder, name), encoding="utf-8", errors="replace") as source:
            text = source.read()
        edges = graphs.setdefault(folder, {}).setdefault(unit, set())
        for included in INCLUDE.findall(text):
            included_folder, _, included_name = included.rpartition("/")
            if included_folder in ("", folder):
                other = os.path.splitext(included_name)[0]
                if other != unit:
                    edges.add(other)
    return graphs


def allowed_edge(folder, unit, other):
    return (folder, unit, other) in ALLOWED_CIRCLES or (folder, other, unit) in ALLOWED_CIRCLES


def check_circles(root):
    """No units of one folder may need each other, directly or round a ring."""
    faults = []
    for folder, graph in sorted(folder_include_graphs(root).items()):
        if classify(folder) == "free":
            continue
        state = {}

        def visit(unit, path):
            state[unit] = "open"
            for other in sorted(graph.get(unit, ())):
                if allowed_edge(folder, unit, other):
                    continue
                if state.get(other) == "open":
                    ring = path[path.index(other):] + [other]
                    faults.append(f"{folder}: include circle " + " -> ".join(ring))
                elif other in graph and other not in state:
                    visit(other, path + [other])
            state[unit] = "done"

        for unit in sorted(graph):
            if unit not in state:
                visit(unit, [unit])
    return faults


def check_library_deps(root):
    libraries = {}
    for current, _, files in os.walk(os.path.join(root, "engine")):
        if "CMakeLists.txt" not in files:
            continue
        folder = os.path.relpath(current, root).replace(os.sep, "/")
        with open(os.path.join(current, "CMakeLists.txt"), encoding="utf-8") as cmake:
            for match in LIBRARY.finditer(cmake.read()):
                words = match.group(2).split()
                deps = []
                if "DEPS" in words:
                    for word in words[words.index("DEPS") + 1:]:
                        if word == "SUBFOLDERS":
                            break
                        deps.append(word)
                libraries[match.group(1)] = (folder, deps)
    faults = []
    for library, (folder, deps) in sorted(libraries.items()):
        owner = classify(folder)
        for dep in deps:
            if not dep.startswith("rv_"):
                continue
            if dep not in libraries:
                faults.append(f"{library} ({folder}): links {dep}, which is no engine library")
                continue
            target = classify(libraries[dep][0])
            if owner is None or target is None or not may_use(owner, target) or owner == target:
                faults.append(f"{library} ({folder}): links {dep} ({libraries[dep][0]}), not of a layer below")
    return faults


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    root = os.path.abspath(root)
    faults = check_includes(root) + check_circles(root) + check_library_deps(root)
    for fault in faults:
        print(f"[layers] {fault}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
