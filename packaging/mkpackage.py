#!/usr/bin/env python3
"""mkpackage: builds an installer package (Setup.ini, setup.zip, setup.exe, language and text
files) from a folder of built files and a short package description.

    mkpackage.py DESCRIPTION --from FOLDER --out PACKAGE_FOLDER [--define NAME=VALUE ...]

The description is a text file, one directive a line; blank lines and lines starting with
"#" are ignored. Words are separated by blanks; a word holding blanks is put in double quotes
(backslashes are kept as they are, so Windows paths need no escaping).

    script    Setup.ini.in          the hand-written part of Setup.ini (relative to the description);
                                    its lines starting with "#" are comments and left out
    language  English.dat           a language file (relative to the description); the first is the default
    text      licence.txt           any other text file put beside setup.exe (licence, readme)
    engine    setup.exe             the installer program, taken from FOLDER

    application  SOURCE  TARGET  [OPTION ...]    a file of the application list
    shared       SOURCE  TARGET  [OPTION ...]    a file of the shared list
    system       SOURCE  TARGET  [OPTION ...]    a file of the system list

SOURCE is relative to FOLDER; TARGET is the full Windows path the file is installed to and
usually starts with %AppDir%. Options:

    replace=RULE   when an existing file is replaced: always (the default), version,
                   newer-version, time, newer-time, version-or-time, newer-version-or-time,
                   or the rule's number 0 to 6
    count          count one more user of the file in the shared-library counts
    register       self-register the file after installing it
    unlogged       leave the file out of the install log (it stays when the product is removed)
    entry=NAME     the file's name inside setup.zip (default: SOURCE with forward slashes)

For every list the tool writes the folder records of its targets' folders and one file
record per file, so nobody writes setup.zip or those records by hand. Because records are
cut at every comma and paths hold at most 259 characters, a file list that would give such
a record is refused, with the description's line named. Text files are read as UTF-8 and
written in the Windows-1252 code page with CR LF line ends, which is what setup.exe reads.

The package is made in a temporary folder next to the output folder and moved into place only
when everything worked: a refused description leaves the output folder as it was.
"""
import argparse
import os
import shutil
import sys
import tempfile
import zipfile

MAX_PATH_TEXT = 259
LISTS = {
    "application": ("APPLICATION_FOLDERS", "APPLICATION_FILES"),
    "shared": ("SHARED_FOLDERS", "SHARED_FILES"),
    "system": ("SYSTEM_FOLDERS", "SYSTEM_FILES"),
}
RULES = {
    "always": 0,
    "version": 1,
    "newer-version": 2,
    "time": 3,
    "newer-time": 4,
    "version-or-time": 5,
    "newer-version-or-time": 6,
}
FLAGS = {"register": 2, "count": 4, "unlogged": 8}
# Characters Windows refuses in a file name; the colon only after a drive letter.
BAD_PATH_CHARACTERS = '<>"|?*'
TEXT_ENCODING = "cp1252"


class PackageError(Exception):
    """A problem with the description or its files; the text names the place."""


class FileLine:
    def __init__(self, where, list_name, source, target, entry, flags, rule):
        self.where = where
        self.list_name = list_name
        self.source = source
        self.target = target
        self.entry = entry
        self.flags = flags
        self.rule = rule

    def folder(self):
        return self.target.rsplit("\\", 1)[0]

    def record(self):
        # The first field is not read by the installer; the file's name makes Setup.ini readable.
        name = self.entry.rsplit("/", 1)[-1]
        return "%s,%s,%s,%d,%d" % (name, self.entry, self.target, self.flags, self.rule)


class Description:
    def __init__(self, path):
        self.path = path
        self.folder = os.path.dirname(os.path.abspath(path))
        self.script = None
        self.languages = []
        self.texts = []
        self.engine = None
        self.files = []


def split_words(text, where):
    """Blank-separated words; double quotes group blanks and are removed; no escapes."""
    words = []
    word = None
    quoted = False
    for ch in text:
        if quoted:
            if ch == '"':
                quoted = False
            else:
                word += ch
        elif ch == '"':
            quoted = True
            word = word or ""
        elif ch in " \t":
            if word is not None:
                words.append(word)
                word = None
        else:
            word = (word or "") + ch
    if quoted:
        raise PackageError("%s: a double quote is not closed" % where)
    if word is not None:
        words.append(word)
    return words


def parse_options(words, where):
    flags = 0
    rule = 0
    entry = None
    for word in words:
        name, has_value, value = word.partition("=")
        if name == "replace" and has_value:
            if value in RULES:
                rule = RULES[value]
            elif value.isdigit() and int(value) <= 6:
                rule = int(value)
            else:
                raise PackageError("%s: unknown replace rule %r (use %s or 0 to 6)"
                                   % (where, value, ", ".join(RULES)))
        elif name == "entry" and has_value:
            entry = value
        elif name in FLAGS and not has_value:
            flags |= FLAGS[name]
        else:
            raise PackageError("%s: unknown option %r" % (where, word))
    return flags, rule, entry


def check_target(target, where):
    if "," in target:
        raise PackageError("%s: target %r contains a comma; Setup.ini records are cut at every comma" % (where, target))
    if len(target) > MAX_PATH_TEXT:
        raise PackageError("%s: target is %d characters long, more than the %d a Windows path may hold"
                           % (where, len(target), MAX_PATH_TEXT))
    for ch in BAD_PATH_CHARACTERS:
        if ch in target:
            raise PackageError("%s: target %r contains %r, which a Windows file name cannot hold" % (where, target, ch))
    folder, backslash, name = target.rpartition("\\")
    if not backslash or not folder or not name:
        raise PackageError("%s: target %r is not a full path: it needs a folder, a backslash and a file name"
                           % (where, target))


def parse_description(path, built_folder):
    description = Description(path)
    name = os.path.basename(path)
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
    except OSError as error:
        raise PackageError("%s: cannot read the description: %s" % (path, error.strerror))
    except UnicodeDecodeError:
        raise PackageError("%s: the description is not UTF-8 text" % path)
    targets = {}
    for number, line in enumerate(lines, 1):
        where = "%s:%d" % (name, number)
        if not line.strip() or line.strip().startswith("#"):
            continue
        words = split_words(line.strip(), where)
        directive, arguments = words[0], words[1:]
        if directive in ("script", "engine"):
            if len(arguments) != 1:
                raise PackageError("%s: %s takes one file name" % (where, directive))
            if getattr(description, directive) is not None:
                raise PackageError("%s: a second %s line" % (where, directive))
            setattr(description, directive, (arguments[0], where))
        elif directive in ("language", "text"):
            if len(arguments) != 1:
                raise PackageError("%s: %s takes one file name" % (where, directive))
            (description.languages if directive == "language" else description.texts).append((arguments[0], where))
        elif directive in LISTS:
            if len(arguments) < 2:
                raise PackageError("%s: a %s line needs a source file and a target path" % (where, directive))
            source, target = arguments[0], arguments[1]
            flags, rule, entry = parse_options(arguments[2:], where)
            entry = entry if entry is not None else source.replace("\\", "/")
            if "," in source or "," in entry:
                raise PackageError("%s: file name %r contains a comma; Setup.ini records are cut at every comma"
                                   % (where, entry if "," in entry else source))
            if not os.path.isfile(os.path.join(built_folder, source.replace("\\", "/"))):
                raise PackageError("%s: source file %s is missing from %s" % (where, source, built_folder))
            check_target(target, where)
            key = target.lower()
            if key in targets:
                raise PackageError("%s: target %s is already installed by %s" % (where, target, targets[key]))
            targets[key] = where
            file_line = FileLine(where, directive, source, target, entry, flags, rule)
            record = file_line.record()
            if len(record) > MAX_PATH_TEXT:
                raise PackageError("%s: the record %r is %d characters long, more than %d"
                                   % (where, record, len(record), MAX_PATH_TEXT))
            description.files.append(file_line)
        else:
            raise PackageError("%s: unknown directive %r" % (where, directive))
    if not description.files:
        raise PackageError("%s: the file list is empty: no application, shared or system line" % name)
    for directive in ("script", "engine"):
        if getattr(description, directive) is None:
            raise PackageError("%s: no %s line" % (name, directive))
    if not description.languages:
        raise PackageError("%s: no language line" % name)
    entries = {}
    for file_line in description.files:
        known = entries.setdefault(file_line.entry.lower(), file_line)
        if known.source != file_line.source:
            raise PackageError("%s: entry %s would hold both %s and %s (%s)"
                               % (file_line.where, file_line.entry, known.source, file_line.source, known.where))
    return description


def windows_text(path, where, defines, drop_comments=False):
    """The file's UTF-8 text in the Windows code page with CR LF line ends, @NAME@ replaced;
    with drop_comments, lines starting with "#" are left out."""
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except FileNotFoundError:
        raise PackageError("%s: file %s is missing" % (where, path))
    except UnicodeDecodeError:
        raise PackageError("%s: %s is not UTF-8 text" % (where, path))
    for name, value in defines.items():
        text = text.replace("@%s@" % name, value)
    lines = text.splitlines()
    numbered = [(n, line) for n, line in enumerate(lines, 1) if not (drop_comments and line.startswith("#"))]
    for number, line in numbered:
        try:
            line.encode(TEXT_ENCODING)
        except UnicodeEncodeError as error:
            raise PackageError("%s:%d: %r cannot be written in the Windows code page (%s)"
                               % (os.path.basename(path), number, line[error.start], TEXT_ENCODING))
    # Every line ends in CR LF: the script reader never sees a last line without one.
    return "".join(line + "\r\n" for _, line in numbered).encode(TEXT_ENCODING)


def generated_sections(files):
    out = []
    folders_done = set()
    for list_name, (folder_section, file_section) in LISTS.items():
        members = [f for f in files if f.list_name == list_name]
        if not members:
            continue
        folders = []
        for f in members:
            key = f.folder().lower()
            if key not in folders_done:
                folders_done.add(key)
                folders.append(f.folder())
        if folders:
            out.append("[%s]" % folder_section)
            out.extend(folders)
        out.append("[%s]" % file_section)
        out.extend(f.record() for f in members)
    return out


def build_script(description, defines):
    name, where = description.script
    text = windows_text(os.path.join(description.folder, name), where, defines, drop_comments=True)
    sections = generated_sections(description.files)
    for header in sections:
        if header.startswith("[") and header.encode(TEXT_ENCODING) in text:
            raise PackageError("%s: %s already holds %s, which the tool writes from the file list"
                               % (where, name, header))
    return text + "".join(line + "\r\n" for line in sections).encode(TEXT_ENCODING)


def build_archive(path, description, built_folder):
    written = set()
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for f in description.files:
            if f.entry.lower() in written:
                continue
            written.add(f.entry.lower())
            archive.write(os.path.join(built_folder, f.source.replace("\\", "/")), f.entry)


def build_package(description, built_folder, defines, staging):
    engine, where = description.engine
    engine_path = os.path.join(built_folder, engine)
    if not os.path.isfile(engine_path):
        raise PackageError("%s: engine %s is missing from %s" % (where, engine, built_folder))
    shutil.copy2(engine_path, os.path.join(staging, os.path.basename(engine)))
    with open(os.path.join(staging, "Setup.ini"), "wb") as out:
        out.write(build_script(description, defines))
    for name, where in description.languages + description.texts:
        data = windows_text(os.path.join(description.folder, name), where, defines)
        with open(os.path.join(staging, os.path.basename(name)), "wb") as out:
            out.write(data)
    build_archive(os.path.join(staging, "setup.zip"), description, built_folder)


def move_into_place(staging, out):
    old = None
    if os.path.exists(out):
        old = tempfile.mkdtemp(prefix=".old-", dir=os.path.dirname(out))
        os.rename(out, os.path.join(old, "package"))
    os.rename(staging, out)
    if old:
        shutil.rmtree(old, ignore_errors=True)


def main(argv):
    parser = argparse.ArgumentParser(description="Builds an installer package from built files and a description.")
    parser.add_argument("description", help="the package description")
    parser.add_argument("--from", dest="built", required=True, help="the folder holding the built files")
    parser.add_argument("--out", required=True, help="the package folder to make (replaced when it exists)")
    parser.add_argument("--define", action="append", default=[], metavar="NAME=VALUE",
                        help="replace @NAME@ in the script and text files by VALUE")
    args = parser.parse_args(argv)
    defines = {}
    for item in args.define:
        name, has_value, value = item.partition("=")
        if not has_value or not name:
            parser.error("--define needs NAME=VALUE, not %r" % item)
        defines[name] = value
    out = os.path.abspath(args.out)
    staging = None
    try:
        description = parse_description(args.description, args.built)
        os.makedirs(os.path.dirname(out), exist_ok=True)
        staging = tempfile.mkdtemp(prefix=".mkpackage-", dir=os.path.dirname(out))
        build_package(description, args.built, defines, staging)
        move_into_place(staging, out)
        staging = None
    except PackageError as error:
        print("mkpackage: %s" % error, file=sys.stderr)
        return 1
    except OSError as error:
        print("mkpackage: %s: %s" % (error.filename or "", error.strerror), file=sys.stderr)
        return 1
    finally:
        if staging:
            shutil.rmtree(staging, ignore_errors=True)
    print("mkpackage: %s: %d files in setup.zip" % (out, len({f.entry.lower() for f in description.files})))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
