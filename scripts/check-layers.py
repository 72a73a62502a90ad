#!/usr/bin/env python3
"""Fails when an include crosses the layers the wrong way or closes a cycle.

Every header and source under src/ includes others by their path from src/
("core/base/textcodec.h"). A folder may include only the folders listed for
it below, and no chain of includes may lead back to the file it starts from.
In the core, only the platform module's implementation files
(core/base/platform_<system>.cpp) include the operating system's headers.
"""
import pathlib
import re
import sys

SRC = pathlib.Path(__file__).resolve().parent.parent / "src"

CORE_DOMAINS = ["core/library", "core/freqplan", "core/mml", "core/geran", "core/export",
                "core/tools"]
ALL_CORE = ["core/base", *CORE_DOMAINS, "core/app"]
ALLOWED = {
    "core/base": [],
    "core/library": ["core/base"],
    "core/freqplan": ["core/base"],
    "core/mml": ["core/base", "core/library", "core/freqplan"],
    "core/geran": ["core/base", "core/library", "core/freqplan", "core/mml"],
    "core/export": ["core/base", "core/library", "core/freqplan", "core/mml", "core/geran"],
    "core/tools": ["core/base", "core/library", "core/mml"],
    "core/app": ALL_CORE,
    "gui/base": ALL_CORE,
    "gui": ALL_CORE + ["gui/base", "gui"],
    "cli": ALL_CORE + ["cli"],
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SYSTEM_INCLUDE = re.compile(
    r"^\s*#\s*include\s+<((?:unistd|fcntl|time|pwd|dirent|dlfcn|pthread|windows|io|direct)\.h"
    r"|sys/[^>]+)>", re.M | re.I)
PLATFORM_FILE = re.compile(r"^core/base/platform_[a-z0-9]+\.cpp$")


def layer(path: str) -> str:
    for name in sorted(ALLOWED, key=len, reverse=True):
        if path == name or path.startswith(name + "/"):
            return name
    return ""


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
            continue
        graph[rel] = []
        text = file.read_text(encoding="utf-8")
        if rel.startswith("core/") and not PLATFORM_FILE.match(rel):
            for header in SYSTEM_INCLUDE.findall(text):
                problems.append(f"{rel}: includes <{header}>; only core/base/platform_<system>.cpp "
                                "may call the operating system")
        for target in INCLUDE.findall(text):
            if not (SRC / target).is_file():
                problems.append(f"{rel}: includes {target}, which is not a path from src/")
                continue
            graph[rel].append(target)
            theirs = layer(target)
            if theirs != own and theirs not in ALLOWED[own]:
                problems.append(f"{rel}: {own} may not include {target} ({theirs})")

    # Depth-first search for a cycle among the files.
    state = {}

    def visit(node, trail):
        state[node] = "open"
        for nxt in graph.get(node, []):
            if state.get(nxt) == "open":
                cycle = trail[trail.index(nxt):] + [nxt] if nxt in trail else [node, nxt]
                problems.append("include cycle: " + " -> ".join(cycle))
            elif nxt not in state:
                visit(nxt, trail + [nxt])
        state[node] = "done"

    for node in graph:
        if node not in state:
            visit(node, [node])

    for p in problems:
        print(p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
