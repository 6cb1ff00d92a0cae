#!/usr/bin/env python3
"""Checks that Windows binaries load on a plain Windows 95 and NT 4.

Every imported DLL must be one those systems have (or one we ship beside the program), and
every imported function one that DLL exports there. The export lists of the system DLLs come
from the shared folder beside the repository (winapi/); the C runtime and version.dll lists,
which it does not hold, are kept next to this script. Also checked: the PE header asks for
subsystem and OS version 4.0.

    check_imports.py [--lists DIR] [--ship-dir DIR] FILE...

Exit code 0 when every file passes; 1 with one line per problem otherwise.
"""
import argparse
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_LISTS = os.path.normpath(os.path.join(HERE, "..", "..", "..", "shared", "winapi"))

# The system DLLs of Windows 95 / NT 4 and the list that holds each one's exports. kernel32 is
# bound at load time on every system, so it is held to the Windows 95 list.
SYSTEM_LISTS = {
    "kernel32.dll": "kernel32-win95.txt",
    "user32.dll": "user32.txt",
    "gdi32.dll": "gdi32.txt",
    "advapi32.dll": "advapi32.txt",
    "shell32.dll": "shell32.txt",
    "comctl32.dll": "comctl32.txt",
    "ole32.dll": "ole32.txt",
    "wsock32.dll": "wsock32.txt",
    "rasapi32.dll": "rasapi32.txt",
}
OWN_LISTS = {
    "msvcrt.dll": "msvcrt-6.0.txt",
    "version.dll": "version.txt",
}


class PeError(Exception):
    pass


class PeFile:
    """The parts of a PE image the check reads: header fields, imports and exports."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if len(d) < 64 or d[:2] != b"MZ":
            raise PeError("not a Windows program (no MZ header)")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise PeError("not a Windows program (no PE header)")
        machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", d, pe + 4)
        self.optional = pe + 24
        magic = struct.unpack_from("<H", d, self.optional)[0]
        if magic not in (0x10B, 0x20B):
            raise PeError("unknown optional header 0x%x" % magic)
        self.pe32plus = magic == 0x20B
        o = self.optional
        self.os_version = struct.unpack_from("<HH", d, o + 40)
        self.subsystem_version = struct.unpack_from("<HH", d, o + 48)
        self.subsystem = struct.unpack_from("<H", d, o + 68)[0]
        dirs = o + (112 if self.pe32plus else 96)
        self.directories = [struct.unpack_from("<II", d, dirs + 8 * i) for i in range(16)]
        table = o + optional_size
        self.sections = []
        for i in range(sections):
            _, vsize, vaddr, rsize, raddr = struct.unpack_from("<8sIIII", d, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raddr))

    def offset(self, rva):
        for vaddr, size, raddr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raddr
        raise PeError("address 0x%x lies in no section" % rva)

    def string(self, rva):
        start = self.offset(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("ascii", "replace")

    def imports(self):
        """[(dll name, [function name or '#ordinal', ...]), ...] in file order."""
        rva, size = self.directories[1]
        if rva == 0:
            return []
        result = []
        at = self.offset(rva)
        thunk_size = 8 if self.pe32plus else 4
        ordinal_flag = 1 << (63 if self.pe32plus else 31)
        while True:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, at)
            if lookup == 0 and name == 0 and first == 0:
                break
            functions = []
            t = self.offset(lookup or first)
            while True:
                value = struct.unpack_from("<Q" if self.pe32plus else "<I", self.data, t)[0]
                if value == 0:
                    break
                if value & ordinal_flag:
                    functions.append("#%d" % (value & 0xFFFF))
                else:
                    functions.append(self.string((value & 0x7FFFFFFF) + 2))
                t += thunk_size
            result.append((self.string(name), functions))
            at += 20
        return result

    def exports(self):
        rva, size = self.directories[0]
        if rva == 0:
            return set()
        at = self.offset(rva)
        fields = struct.unpack_from("<IIHHIIIIIII", self.data, at)
        count, names = fields[7], fields[9]
        base = self.offset(names)
        return {self.string(struct.unpack_from("<I", self.data, base + 4 * i)[0]) for i in range(count)}


def read_list(path):
    names = set()
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                names.add(line.split()[0])
    return names


def read_conditional(path):
    """'dll function  why' lines: calls that only some of the systems have, allowed because the
    code calls them on those systems alone."""
    allowed = set()
    if os.path.exists(path):
        with open(path, encoding="ascii") as f:
            for line in f:
                line = line.split("#", 1)[0].strip()
                if line:
                    dll, function = line.split()[:2]
                    allowed.add((dll.lower(), function))
    return allowed


def check_file(path, lists, shipped, conditional):
    problems = []
    name = os.path.basename(path)
    try:
        pe = PeFile(path)
        imports = pe.imports()
    except (OSError, PeError, ValueError, struct.error) as error:
        return ["%s: cannot be read: %s" % (name, error)]
    if pe.os_version != (4, 0):
        problems.append("%s: OS version in the PE header is %d.%d, not 4.0" % ((name,) + pe.os_version))
    if pe.subsystem_version != (4, 0):
        problems.append("%s: subsystem version in the PE header is %d.%d, not 4.0"
                        % ((name,) + pe.subsystem_version))
    for dll, functions in imports:
        key = dll.lower()
        exports = lists.get(key)
        if exports is None:
            exports = shipped.get(key)
        if exports is None:
            problems.append("%s: imports %s, which Windows 95 and NT 4 do not have" % (name, dll))
            continue
        for function in functions:
            if function in exports or (key, function) in conditional:
                continue
            problems.append("%s: imports %s from %s, which Windows 95 / NT 4 do not export"
                            % (name, function, dll))
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--lists", default=DEFAULT_LISTS, help="folder of the system DLLs' export lists")
    parser.add_argument("--ship-dir", action="append", default=[],
                        help="folder whose DLLs ship with the product (their exports count)")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()

    lists = {}
    for dll, file in SYSTEM_LISTS.items():
        lists[dll] = read_list(os.path.join(args.lists, file))
    for dll, file in OWN_LISTS.items():
        lists[dll] = read_list(os.path.join(HERE, file))
    conditional = read_conditional(os.path.join(HERE, "conditional.txt"))

    shipped = {}
    for folder in args.ship_dir:
        for entry in sorted(os.listdir(folder)):
            if entry.lower().endswith(".dll"):
                try:
                    shipped[entry.lower()] = PeFile(os.path.join(folder, entry)).exports()
                except (OSError, PeError, ValueError, struct.error) as error:
                    sys.exit("%s: cannot be read: %s" % (entry, error))

    problems = []
    for path in args.files:
        problems += check_file(path, lists, shipped, conditional)
    for line in problems:
        print(line)
    print("%d files checked, %d problems" % (len(args.files), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
