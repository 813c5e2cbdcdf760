"""One line per node of a dumped project's trees and per shortcut, for
comparing a saved project with what the page was told to do."""
import json
import sys

project = json.load(open(sys.argv[1], encoding="utf-8"))


def walk(nodes, depth):
    for n in nodes:
        line = "  " * depth + f"{n['kind']} {n['text']!r}"
        if "component" in n:
            c = n["component"]
            line += f" id={c['id']} flags={c['flags']} path={c['path']!r} desc={c['description']!r}"
        elif "componentId" in n:
            line += f" ref={n['componentId']}"
        elif "value" in n:
            line += f" value={n['value']}"
        if n.get("state"):
            line += f" state={n['state']}"
        print(line)
        walk(n.get("children", []), depth + 1)


print(f"source={project['sourcePath']!r} next={project['nextComponentId']}")
walk(project["componentTree"], 0)
walk(project["installationTypeTree"], 0)
for s in project.get("shortcuts", []):
    print("shortcut " + json.dumps(s, ensure_ascii=False, sort_keys=True))
