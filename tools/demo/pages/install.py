#!/usr/bin/env python3
"""Installs the browser plugin's demo pages into a program folder (standard
library only).

    install.py --into FOLDER --port PORT

Every "*.svb" page definition of this folder is written into FOLDER with
"{HOST}" replaced by 127.0.0.1:PORT, so that its start page is a page of the
local server (tools/demo/site/client/pages/). The plugin's registration keeps
an address already in "Tovrin.ini", and the server's port changes from run to
run: the "URL" of each page's section there is brought up to date as well.
"""

import argparse
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
WIRE = "cp1251"


def refresh_urls(settings_path, urls):
    """Sets URL= in the sections [*key] of `urls` that already exist."""
    if not os.path.exists(settings_path):
        return
    with open(settings_path, "rb") as f:
        lines = f.read().decode(WIRE).splitlines()
    section = None
    out = []
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("[") and stripped.endswith("]"):
            section = stripped[1:-1].strip().lower()
        elif section in urls and re.match(r"\s*url\s*=", line, re.IGNORECASE):
            line = "URL=" + urls[section]
        out.append(line)
    with open(settings_path, "wb") as f:
        f.write(("\r\n".join(out) + "\r\n").encode(WIRE))


def install(folder, port):
    host = "127.0.0.1:%d" % port
    urls = {}
    for name in sorted(os.listdir(HERE)):
        if not name.lower().endswith(".svb"):
            continue
        with open(os.path.join(HERE, name), "rb") as f:
            text = f.read().decode(WIRE).replace("{HOST}", host)
        with open(os.path.join(folder, name), "wb") as f:
            f.write(text.encode(WIRE))
        match = re.search(r"^URL=(.*)$", text, re.MULTILINE)
        if match:
            urls["*" + name[:-4].lower()] = match.group(1).strip()
    refresh_urls(os.path.join(folder, "Tovrin.ini"), urls)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--into", required=True)
    ap.add_argument("--port", type=int, required=True)
    args = ap.parse_args()
    install(args.into, args.port)


if __name__ == "__main__":
    main()
