#!/usr/bin/env python3
"""Fails when an include crosses the layers the wrong way or closes a cycle.

Every header and source under src/ includes others by their path from src/
("core/base/textcodec.h"). Every folder is a layer of its own, unless
PART_OF puts it into another: a folder below a layer is not part of it by
its path alone. A layer may include only the layers listed for it below; no
chain of includes may lead back to the file it starts from, nor any chain of
folders (a file of A includes one of B, a file of B one of A) back to its
folder. Only the platform module's implementation files (PLATFORM_FILES)
include the operating system's headers, in the core and outside it.
"""
import pathlib
import re
import sys

SRC = pathlib.Path(__file__).resolve().parent.parent / "src"

CORE_DOMAINS = ["core/library", "core/freqplan", "core/mml", "core/geran", "core/export",
                "core/tools"]
# Reading workbooks sits between the foundation and the domains: it needs
# only core/base, and any domain may read a workbook.
FOUNDATION = ["core/base", "core/workbook"]
ALL_CORE = [*FOUNDATION, *CORE_DOMAINS, "core/app"]
ALLOWED = {
    "core/base": [],
    "core/workbook": ["core/base"],
    "core/library": FOUNDATION,
    "core/freqplan": FOUNDATION,
    "core/mml": [*FOUNDATION, "core/library", "core/freqplan"],
    "core/geran": [*FOUNDATION, "core/library", "core/freqplan", "core/mml"],
    "core/export": [*FOUNDATION, "core/library", "core/freqplan", "core/mml", "core/geran"],
    "core/tools": [*FOUNDATION, "core/library", "core/mml"],
    "core/app": ALL_CORE,
    "gui/base": ALL_CORE,
    "gui": ALL_CORE + ["gui/base", "gui"],
    "cli": ALL_CORE + ["cli"],
}
# Folders that belong to another layer than their own.
PART_OF = {
    "gui/app": "gui",
    "gui/library": "gui",
    "gui/export": "gui",
    "gui/freqplan": "gui",
    "gui/tools": "gui",
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
# Headers of an operating system rather than of C or C++: POSIX's, Win32's
# (every <win*.h> and the shell's, COM's and the C runtime's own) and
# iconv, which MinGW lacks.
SYSTEM_INCLUDE = re.compile(
    r"^\s*#\s*include\s+<("
    r"(?:unistd|fcntl|time|pwd|grp|dirent|dlfcn|pthread|signal|poll|termios|spawn|sched"
    r"|semaphore|syslog|utime|libgen|fnmatch|glob|langinfo|iconv|netdb"
    r"|win[a-z0-9_]*|shlobj|shlobj_core|shellapi|shlwapi|knownfolders|objbase|combaseapi"
    r"|initguid|ole2|tlhelp32|psapi|processthreadsapi|fileapi|handleapi|synchapi|winsock2"
    r"|ws2tcpip|io|direct|process|share|conio)\.h"
    r"|(?:sys|arpa|netinet|linux)/[^>]+)>", re.M | re.I)
PLATFORM_FILES = {"core/base/platform_posix.cpp", "core/base/platform_windows.cpp"}
# Files that may include some system headers for now, with the reason.
SYSTEM_INCLUDE_ALLOWED = {
    # The GBK conversion goes through iconv until its own code page 936
    # table replaces it; then this entry goes.
    "core/base/textcodec.cpp": {"iconv.h"},
}


def folder(path: str) -> str:
    return path.rpartition("/")[0]


def layer(path: str) -> str:
    """The layer of a file: its folder's, matched exactly; "" for none."""
    own = PART_OF.get(folder(path), folder(path))
    return own if own in ALLOWED else ""


def cycles(graph):
    """Every cycle a depth-first search meets, each as the nodes along it."""
    found = []
    state = {}

    def visit(node, trail):
        state[node] = "open"
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == "open":
                found.append(trail[trail.index(nxt):] + [nxt] if nxt in trail else [node, nxt])
            elif nxt not in state:
                visit(nxt, trail + [nxt])
        state[node] = "done"

    for node in sorted(graph):
        if node not in state:
            visit(node, [node])
    return found


def main() -> int:
    problems = []
    graph = {}
    for file in sorted(SRC.rglob("*")):
        if file.suffix not in (".h", ".cpp"):
            continue
        rel = file.relative_to(SRC).as_posix()
        own = layer(rel)
        if not own:
            problems.append(f"{rel}: outside every layer")
        graph[rel] = []
        text = file.read_text(encoding="utf-8")
        if rel not in PLATFORM_FILES:
            for header in SYSTEM_INCLUDE.findall(text):
                if header.lower() not in SYSTEM_INCLUDE_ALLOWED.get(rel, ()):
                    problems.append(f"{rel}: includes <{header}>; only "
                                    f"{' and '.join(sorted(PLATFORM_FILES))} "
                                    "may call the operating system")
        for target in INCLUDE.findall(text):
            if not (SRC / target).is_file():
                problems.append(f"{rel}: includes {target}, which is not a path from src/")
                continue
            graph[rel].append(target)
            theirs = layer(target)
            if own and theirs != own and theirs not in ALLOWED[own]:
                problems.append(f"{rel}: {own} may not include {target} ({theirs})")

    for cycle in cycles(graph):
        problems.append("include cycle: " + " -> ".join(cycle))
    folders = {}
    for source, targets in graph.items():
        edges = folders.setdefault(folder(source), set())
        edges.update(folder(t) for t in targets if folder(t) != folder(source))
    for cycle in cycles(folders):
        problems.append("folder include cycle: " + " -> ".join(cycle))

    for p in problems:
        print(p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
