#!/usr/bin/env python3
"""Demo content made from the project's own build (standard library only).

    demo.py site    --build BUILD --out SITE [--port PORT]
    demo.py program --build BUILD --into FOLDER

"site" writes what the local server (tools/localserver/server.py --root SITE)
serves as the maker's servers: the script replies of tools/demo/site, the
plugin catalogue of tools/demo/catalogue.txt as the "readlist3" reply, the
update wizard's "getfiles2" list of the program's own files, and every file of
both packed one per zip under client/plugins/ as the server delivers them.
With --port the host discovery reply also stores 127.0.0.1:PORT as the script
and source host, so that a program restarted without the host switch (as a
restart after an update is) still talks to this server.

"program" fills a program folder: the program's files fresh from the build,
the shipped skins, the bundled plugins of the catalogue, and their settings
sections where they are missing (settings the user changed stay). Plugins
that come only through the catalogue are left out, so the catalogue offers
them as not installed.
"""

import argparse
import os
import shutil
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
CATALOGUE = os.path.join(HERE, "catalogue.txt")
STATIC_SITE = os.path.join(HERE, "site")
PROGRAM_ENTRY = "@program"
NO_KEY = "-"
WIRE = "cp1251"
PROGRAM_SUFFIXES = (".exe", ".dll", ".svx")
DEMO_SOURCE = "demo:"
HOST_MARK = "{HOST}"  # in demo page definitions: the local server's address


class Plugin:
    def __init__(self, fields):
        (self.directory, self.number, key, self.name, self.version, self.date, self.required, self.comes,
         files, self.description) = fields
        self.key = "" if key == NO_KEY else key
        self.files = files.split()


def read_catalogue(build=None):
    """Directories and plugins; with `build`, plugins whose files that build
    lacks are left out (with a note), so a partial build still serves."""
    directories, plugins = [], []
    with open(CATALOGUE, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if fields[0] == "DIR" and len(fields) == 3:
                directories.append((fields[1], fields[2]))
            elif fields[0] == "PLUGIN" and len(fields) == 11:
                plugins.append(Plugin(fields[1:]))
            else:
                sys.exit("catalogue.txt: bad line: " + line)
    if build:
        plugins = [p for p in plugins if has_files(build, p)]
    return directories, plugins


def has_files(build, plugin):
    for item in plugin.files:
        if item == PROGRAM_ENTRY:
            continue
        path = source_path(build, item)
        if not os.path.isfile(path):
            print("demo: %s is not in the build; %s left out" % (path, plugin.name), file=sys.stderr)
            return False
    return True


def file_sources(build, plugin, catalogue_only):
    """(name in the program folder, path of its source in the build)."""
    program = os.path.join(build, "program")
    pairs = []
    for item in plugin.files:
        if item == PROGRAM_ENTRY:
            for name in program_files(build, catalogue_only):
                pairs.append((name, os.path.join(program, name)))
            continue
        pairs.append((item.partition("=")[0], source_path(build, item)))
    return pairs


def source_path(build, item):
    """Where a catalogue file comes from: "name" from the build's program
    folder, "name=path" from the build folder, "name=demo:path" from
    tools/demo."""
    name, _, source = item.partition("=")
    if source.startswith(DEMO_SOURCE):
        return os.path.join(HERE, source[len(DEMO_SOURCE):])
    return os.path.join(build, source) if source else os.path.join(build, "program", name)


def catalogue_only_names(plugins):
    names = set()
    for p in plugins:
        if p.comes == "catalogue":
            names.update(item.partition("=")[0].lower() for item in p.files)
    return names


def bundled_plugin_names(plugins):
    return {item.partition("=")[0].lower() for p in plugins for item in p.files if item != PROGRAM_ENTRY}


def program_files(build, catalogue_only):
    """The program itself: the top-level files of the build's program folder,
    without the plugins that have entries of their own in the catalogue."""
    _, plugins = read_catalogue()  # all of them: none of their files is the program's
    skip = catalogue_only | bundled_plugin_names(plugins)
    program = os.path.join(build, "program")
    return sorted(n for n in os.listdir(program)
                  if n.lower().endswith(PROGRAM_SUFFIXES) and n.lower() not in skip
                  and os.path.isfile(os.path.join(program, n)))


def pack(source, name, folder, host=""):
    """The file as the server delivers it: "<name>.zip" holding it alone. A
    page definition gets the server's address in place of {HOST}."""
    os.makedirs(folder, exist_ok=True)
    with zipfile.ZipFile(os.path.join(folder, name + ".zip"), "w", zipfile.ZIP_DEFLATED) as z:
        if name.lower().endswith(".svb"):
            with open(source, "rb") as f:
                z.writestr(name, f.read().replace(HOST_MARK.encode(), host.encode()))
        else:
            z.write(source, name)


def entry_list(pairs):
    """FILES list entries "name@size/" (every name is packed as name.zip);
    page definitions without a size, since their address is filled in."""
    return "".join(("%s/" % name) if name.lower().endswith(".svb") else "%s@%d/" % (name, os.path.getsize(path))
                   for name, path in pairs)


def write_reply(site, script, act, text):
    path = os.path.join(site, "client", script + "." + act + ".reply")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(text.encode(WIRE))


def make_site(build, site, port):
    directories, plugins = read_catalogue(build)
    shutil.copytree(STATIC_SITE, site, dirs_exist_ok=True)
    files_folder = os.path.join(site, "client", "plugins")
    os.makedirs(os.path.join(files_folder, "lib"), exist_ok=True)
    catalogue_only = catalogue_only_names(plugins)

    host = "127.0.0.1:%d" % port if port else "127.0.0.1"
    lines = ["DIRLIST"] + ["\t%s\t%s" % d for d in directories] + ["PLUGINLIST"]
    for p in plugins:
        pairs = file_sources(build, p, catalogue_only)
        for name, path in pairs:
            pack(path, name, files_folder, host)
        lines.append("\t" + "\t".join([p.name, p.key, entry_list(pairs), p.number, p.description, p.version, "",
                                       p.directory, p.date, p.required]))
    write_reply(site, "plugins.php", "readlist3", "\r\n".join(lines) + "\r\n")
    write_reply(site, "plugins.php", "download", "OK\r\n")

    program = [(n, os.path.join(build, "program", n)) for n in program_files(build, catalogue_only)]
    for name, path in program:
        pack(path, name, files_folder)
    write_reply(site, "update.php", "getfiles2", "FILES\t%s\r\nPACKAGES\t\r\n" % entry_list(program))
    write_reply(site, "update.php", "download", "OK\r\n")

    # The banner grid's pictures (client/com/<name>.zip) and its click page.
    make_banners(site)

    if port:
        path = os.path.join(site, "client", "svparams.php.gethosts.reply")
        with open(path, "ab") as f:
            f.write(("SCRIPTS\t%s\nSOURCES\t%s\n" % (host, host)).encode(WIRE))


def make_banners(site):
    sys.path.insert(0, os.path.join(HERE, "banners"))
    import make_banners as banners
    banners.write(site, ["Solvika"] + banners.catalogue_names())


def read_sections(path):
    if not os.path.exists(path):
        return ""
    with open(path, "rb") as f:
        return f.read().decode(WIRE)


def make_program(build, folder):
    directories, plugins = read_catalogue(build)
    catalogue_only = catalogue_only_names(plugins)
    os.makedirs(folder, exist_ok=True)
    program = os.path.join(build, "program")
    for name in program_files(build, catalogue_only):
        shutil.copyfile(os.path.join(program, name), os.path.join(folder, name))
    skins = os.path.join(program, "SVData", "SVSkins")
    if os.path.isdir(skins):
        shutil.copytree(skins, os.path.join(folder, "SVData", "SVSkins"), dirs_exist_ok=True)

    names = dict(directories)
    settings_path = os.path.join(folder, "Tovrin.ini")
    text = read_sections(settings_path)
    present = {line.strip().lower() for line in text.splitlines() if line.strip().startswith("[")}
    add = ""
    for p in plugins:
        if not p.key:
            continue
        if p.comes == "bundled":
            for name, path in file_sources(build, p, catalogue_only):
                shutil.copyfile(path, os.path.join(folder, name))
        if "[*%s]" % p.key.lower() in present:
            continue
        # Name and group as the catalogue shows them. A catalogue-only plugin
        # gets no "Library": the list shows it once its file has arrived and
        # its own registration has run.
        add += "[*%s]\r\nName=%s\r\nSection=%s\r\n" % (p.key, p.name, names.get(p.directory, ""))
        if p.comes == "bundled":
            add += "Library=%s.svx\r\nVersion=%s\r\nNewVersion=%s\r\n" % (p.key, p.version, p.version)
    if "[solvika]" not in present:
        add += "[Solvika]\r\nShowProxy=0\r\n"
    if add:
        if text and not text.endswith("\n"):
            text += "\r\n"
        with open(settings_path, "wb") as f:
            f.write((text + add).encode(WIRE))


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    sub = ap.add_subparsers(dest="what", required=True)
    s = sub.add_parser("site")
    s.add_argument("--build", required=True)
    s.add_argument("--out", required=True)
    s.add_argument("--port", type=int, default=0)
    p = sub.add_parser("program")
    p.add_argument("--build", required=True)
    p.add_argument("--into", required=True)
    args = ap.parse_args()
    if args.what == "site":
        make_site(args.build, args.out, args.port)
    else:
        make_program(args.build, args.into)


if __name__ == "__main__":
    main()
