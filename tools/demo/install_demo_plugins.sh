#!/usr/bin/env bash
# Puts the demo plugins into a program folder: two of the tests' plugins
# (each opens a plain plugin window) under demo names, listed in the
# "Примеры" group. Settings the user changed stay: a section is written only
# when it is missing.
#   install_demo_plugins.sh <program folder> <build dir>
set -euo pipefail
folder="$1"
build="$2"
cp -f "$build/testbin/Alpha.svx" "$folder/DemoA.svx"
cp -f "$build/testbin/Beta.svx" "$folder/DemoB.svx"
python3 - "$folder/Tovrin.ini" <<'PY'
import os, sys
path = sys.argv[1]
text = open(path, "rb").read().decode("cp1251") if os.path.exists(path) else ""
sections = {line.strip().lower() for line in text.splitlines() if line.strip().startswith("[")}
add = ""
for key, name in (("DemoA", "Пробный плагин А"), ("DemoB", "Пробный плагин Б")):
    if f"[*{key.lower()}]" not in sections:
        add += f"[*{key}]\r\nName={name}\r\nSection=Примеры\r\nLibrary={key}.svx\r\nVersion=1\r\nNewVersion=1\r\n"
if "[solvika]" not in sections:
    add += "[Solvika]\r\nShowProxy=0\r\n"
if add:
    if text and not text.endswith("\n"):
        text += "\r\n"
    open(path, "wb").write((text + add).encode("cp1251"))
PY
