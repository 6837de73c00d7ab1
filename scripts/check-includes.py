#!/usr/bin/env python3
"""Checks the includes between our own files: an include in src/ names its layer (the folder
below src/) and points down the layer order or stays in its own layer, and no files depend on
each other in a circle, a header and its .cpp counting as one (so a class whose .cpp includes
another's header while that one's .cpp includes its header is a circle too). Reads the files git
tracks; needs no build. Exits 1 on a fault."""

import re
import subprocess
import sys
from pathlib import Path

# The layers of src/, top to bottom: a file may include its own layer and those below it.
# A new folder under src/ goes into this list where it belongs.
LAYERS = ["editor", "dialogs", "export", "pack", "player", "forms", "project", "sound", "picture",
          "platform"]

# Where a quoted include is looked for besides the including file's own folder.
INCLUDE_ROOTS = ["src", "tests"]
CHECKED = ("src", "apps", "tests", "bench", "fuzz")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def tracked_sources(root):
    listing = subprocess.run(["git", "ls-files", "--", *CHECKED], cwd=root, check=True,
                             capture_output=True, text=True).stdout.split()
    return sorted(path for path in listing if path.endswith((".h", ".cpp")))


def resolve(name, including, files):
    """The tracked file a quoted include means, and whether it was found from an include root."""
    for base in INCLUDE_ROOTS:
        candidate = f"{base}/{name}"
        if candidate in files:
            return candidate, True
    beside = str(Path(including).parent / name)
    return (beside, False) if beside in files else (None, False)


def layer_of(path):
    parts = Path(path).parts
    return parts[1] if len(parts) > 2 and parts[0] == "src" else None


def unit_of(path):
    """A header and its .cpp: the path without its extension."""
    return str(Path(path).with_suffix(""))


def cycles(graph):
    """The groups of units that depend on each other in a circle (Tarjan's strongly connected
    components with more than one unit, or a unit that includes itself)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for target in graph[node]:
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1 or node in graph[node]:
                found.append(sorted(group))

    sys.setrecursionlimit(10000)
    for node in sorted(graph):
        if node not in index:
            visit(node)
    return found


def main():
    root = Path(__file__).resolve().parent.parent
    files = tracked_sources(root)
    known = set(files)
    graph = {unit_of(path): set() for path in files}
    faults = []
    includes = 0
    for path in files:
        text = (root / path).read_text(encoding="utf-8", errors="replace")
        layer = layer_of(path)
        if path.startswith("src/") and layer not in LAYERS:
            faults.append(f"{path}: src/{layer} is in no layer; add it to LAYERS in {Path(__file__).name}")
            continue
        for match in INCLUDE.finditer(text):
            name = match.group(1)
            line = text.count("\n", 0, match.start()) + 1
            target, from_root = resolve(name, path, known)
            if target is None:
                continue  # generated or not ours
            includes += 1
            if unit_of(target) != unit_of(path):
                graph[unit_of(path)].add(unit_of(target))
            if layer is None:
                continue
            if not from_root:
                faults.append(f'{path}:{line}: "{name}" does not name its layer')
                continue
            target_layer = layer_of(target)
            if target_layer in LAYERS and LAYERS.index(target_layer) < LAYERS.index(layer):
                faults.append(f'{path}:{line}: "{name}" points up from {layer} to {target_layer}')
    for group in cycles(graph):
        faults.append("these depend on each other in a circle: " + ", ".join(group))

    print("Include layers, top to bottom: " + " > ".join(LAYERS))
    if faults:
        print("\n".join(faults))
        print(f"{len(faults)} include faults in {len(files)} files")
        return 1
    print(f"{len(files)} files, {includes} includes of our own files: none points up a layer or "
          "leaves its layer unnamed, and no files depend on each other in a circle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
