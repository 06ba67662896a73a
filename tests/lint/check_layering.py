#!/usr/bin/env python3
"""Checks the include layering of src/, platform/ and tools/ (tests are not checked).

Each layer (a floor) is a library that links only the layers below it
(src/CMakeLists.txt), so an area may include itself, the areas of its own
library and the layers below it; two libraries of one layer link neither each
other. The helper and the
platform layer stand apart: they include only themselves, and the client
reaches them only through their shared headers. Upward includes that a
signature imposes are named exceptions below (the including file, the
headers, one reason); any other crossing fails, and so does an exception that
no longer matches an include. A new area goes into LAYERS or APART first.

The areas, drawn with the includes between them (named exceptions aside),
form no circle: not even two areas of one library include each other, unless
the library is named in MUTUAL, with its reason.

Hard rules that no exception can lift: core includes nothing above itself;
nothing outside src/gui/, src/main.cpp
and tools/ includes gui/; no QtWidgets header outside them, except where a
signature puts one in Settings.

Usage: check_layering.py SOURCE_ROOT QT_WIDGETS_INCLUDE_DIR
"""

import os
import re
import sys

# Lowest first.
LAYERS = [
    ["core"],
    ["prefs", "catalogue"],
    ["websvc"],
    ["system"],
    ["openvpn", "openconnect"],
    ["backend"],
    ["app"],
    ["gui"],
]

# Areas that share one library (orval_catalogue, orval_engine); any other area is a library of its own.
LIBRARY_OF_AREA = {"prefs": "catalogue", "catalogue": "catalogue", "openvpn": "engine", "openconnect": "engine"}

# Libraries whose areas include each other by design: library -> reason.
MUTUAL = {
    "catalogue": "the preference accessors take and return sites, filters, orders and locations, "
                 "and sites, orders and catalogue readers read the preferences",
}

# Areas apart from the layers, and the headers of theirs the client may include.
APART = {
    "helper": {
        "helper/SharedKey.h": "the key the helper checks ships inside the client",
        "helper/CommandWords.h": "the command words are the protocol both sides speak",
    },
    "platform": {
        "routedump/RouteDumpSysctl.h": "the macOS route-dump call, made by the system layer",
    },
}

# Include prefixes that name an area other than its folder under src/.
PREFIX_AREA = {"routedump": "platform"}

# Upward includes imposed by a signature: file -> (included headers, reason).
EXCEPTIONS = {
    "src/prefs/SettingsServerSites.cpp": (
        ["openconnect/OpenConnectConnectVia.h"],
        "the OpenConnect transport accessors take and return the driver's connection choice"),
    "src/catalogue/WebConfigSource.cpp": (
        ["websvc/ReplyHandler.h"],
        "reads its downloads through the web clients' reply handler, with its time-out and size limit"),
    "src/catalogue/HalvorixServerSite.cpp": (
        ["openconnect/OpenConnectJson.h", "openvpn/ConnectVia.h", "openvpn/Remote.h"],
        "a site lists its ciphers per ConnectVia and returns its OpenConnect server as a Remote"),
    "src/catalogue/OpenVpnConfigurationModel.cpp": (
        ["backend/OpenVpnConnectionParameters.h", "openvpn/ConnectVia.h"],
        "getConnectionParameters returns the backend's connection parameters"),
    "src/openconnect/OpenConnectConnectionParameters.cpp": (
        ["backend/CipherHandler.h", "backend/TunManagerHandler.h", "backend/VpnStartupImpl.h"],
        "creates the backend's start-up and handlers for an OpenConnect connection"),
    "platform/routedump/RouteDumpSysctl.cpp": (
        ["system/BsdRouteLayout.h"],
        "writes the route dump in the layout the system layer reads"),
}

# QtWidgets headers outside the GUI: file -> (headers, reason).
WIDGETS_EXCEPTIONS = {
    "src/prefs/SettingsWindow.cpp": (
        ["QMainWindow", "QSystemTrayIcon"],
        "saves and restores a QMainWindow's geometry; the tray preference needs a system tray"),
}

# Where gui/ and QtWidgets may be included: src/gui/, src/main.cpp and tools/.
GUI_ZONE = re.compile(r"^(src/gui/|src/main\.cpp$|tools/)")
TOP = "top"  # src/main.cpp and tools/: may include every area
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
SOURCE_SUFFIXES = (".h", ".cpp", ".hpp", ".cc", ".c")


def rank_of(area):
    for rank, layer in enumerate(LAYERS):
        if area in layer:
            return rank
    return None


def area_of_file(path):
    if GUI_ZONE.match(path) and not path.startswith("src/gui/"):
        return TOP
    if path.startswith("platform/"):
        return "platform"
    return path.split("/")[1]


def area_of_include(header):
    prefix = header.split("/")[0]
    return PREFIX_AREA.get(prefix, prefix)


def may_include(area, header):
    target = area_of_include(header)
    if area == TOP or target == area:
        return True
    if target in APART:
        return area not in APART and header in APART[target]
    if area in APART:
        return False
    return rank_of(target) < rank_of(area) or library_of(target) == library_of(area)


def library_of(area):
    return LIBRARY_OF_AREA.get(area, area)


def mutual(area, target):
    return library_of(area) == library_of(target) and library_of(area) in MUTUAL


def source_files(root):
    for top in ("src", "platform", "tools"):
        for directory, _, names in os.walk(os.path.join(root, top)):
            for name in sorted(names):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(directory, name), root)


def includes(root, path):
    with open(os.path.join(root, path), encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1), rooted(path, match.group(2))


def rooted(path, header):
    """A relative include ("../gui/X.h") as the "area/..." path it reaches, so it crosses no layer unseen."""
    if not header.startswith("."):
        return header
    target = os.path.normpath(os.path.join(os.path.dirname(path), header))
    return target.removeprefix("src/") if target.startswith("src/") else target


def known_areas():
    return {area for layer in LAYERS for area in layer} | set(APART) | set(PREFIX_AREA)


def excepted(table, path, header, used):
    if header in table.get(path, ((), ""))[0]:
        used.add((path, header))
        return True
    return False


def widgets_error(path, header, widgets, used):
    name = header.removeprefix("QtWidgets/")
    if name == header and name not in widgets or GUI_ZONE.match(path):
        return None
    if excepted(WIDGETS_EXCEPTIONS, path, name, used):
        return None
    return "a QtWidgets header outside the GUI"


def layering_error(path, area, header, used):
    target = area_of_include(header)
    if target == "gui" and not GUI_ZONE.match(path):
        return "only src/gui/, src/main.cpp and tools/ include gui/"
    if may_include(area, header) or excepted(EXCEPTIONS, path, header, used):
        return None
    if area != TOP and rank_of(area) is not None and rank_of(target) == rank_of(area):
        return f"{area} may not include {target}: libraries of one layer link neither each other"
    return f"{area} may not include {target}"


def check(root, widgets):
    areas = known_areas()
    errors = [f"src/{name}/: an area missing from the layering table"
              for name in sorted(os.listdir(os.path.join(root, "src")))
              if os.path.isdir(os.path.join(root, "src", name)) and name not in areas | {"resources"}]
    errors += [f"{path}: QtWidgets exceptions are for Settings alone"
               for path in WIDGETS_EXCEPTIONS if not path.startswith("src/prefs/Settings")]
    errors += [f"{path}: core is the ground floor: it takes no exception"
               for path in EXCEPTIONS if path.startswith("src/core/")]
    used = set()
    graph = {}  # area -> {included area: an include that draws the edge}
    for path in source_files(root):
        area = area_of_file(path)
        if area != TOP and area not in areas:
            errors.append(f"{path}: outside every area of the layering table")
            continue
        for number, delimiter, header in includes(root, path):
            if delimiter == "<":
                error = widgets_error(path, header, widgets, used)
            elif "/" in header and area_of_include(header) in areas:
                error = layering_error(path, area, header, used)
                target = area_of_include(header)
                if not error and area not in (TOP, target) and may_include(area, header) and not mutual(area, target):
                    graph.setdefault(area, {}).setdefault(target, f"{path}: {header}")
            else:
                error = None
            if error:
                errors.append(f"{path}:{number}: {header}: {error}")
    errors += circle_errors(graph)
    for table in (EXCEPTIONS, WIDGETS_EXCEPTIONS):
        for path, (headers, _) in table.items():
            errors += [f"{path}: {header}: a stale exception, no such include any more"
                       for header in headers if (path, header) not in used]
    return errors


def circle_errors(graph):
    """One error per circle of areas: each area of it, and an include that leads on."""
    errors = []
    done = set()
    for start in sorted(graph):
        circle = circle_through(graph, start)
        if circle and frozenset(circle) not in done:
            done.add(frozenset(circle))
            steps = "; ".join(graph[a][b] for a, b in zip(circle, circle[1:] + circle[:1]))
            errors.append(f"a circle of includes: {' -> '.join(circle + circle[:1])} ({steps})")
    return errors


def circle_through(graph, start):
    """The shortest path of areas from start back to start, or None."""
    paths = {start: [start]}
    pending = [start]
    while pending:
        area = pending.pop(0)
        for target in sorted(graph.get(area, {})):
            if target == start:
                return paths[area]
            if target not in paths:
                paths[target] = paths[area] + [target]
                pending.append(target)
    return None


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    root, widgets_dir = sys.argv[1], sys.argv[2]
    widgets = set(os.listdir(widgets_dir))
    errors = check(root, widgets)
    for error in errors:
        print(error)
    if errors:
        print(f"{len(errors)} layering error(s); see tests/lint/check_layering.py")
        return 1
    print("layering: clean")
    return 0


if __name__ == "__main__":
    sys.exit(main())
