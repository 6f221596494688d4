#!/usr/bin/env python3
"""Checks the translation tables before they ship.

The program looks every visible text up by its English wording, so a key that is missing from
one table, a duplicated key or a translation whose placeholders do not match the English text
shows up only at run time (wrong language, or a crash when the text is formatted). This script
catches those mistakes: it parses en.po and zh-Hans.po (or the files given on the command line,
English table first), reports every fault with the entry it concerns, and exits with status 1
when there is any.

Usage: po/check.py [en.po zh-Hans.po]
"""

import re
import sys
from pathlib import Path

ESCAPES = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "r": "\r", "a": "\a", "b": "\b",
           "f": "\f", "v": "\v"}

# A printf-style conversion as the program's formatter understands it: %% or
# %[n$][flags][width][.precision][length]conversion, where %@ is an object (a string).
# A percent sign that starts neither is reported as a stray literal, so that prose such as "50%"
# is accepted only when the translation keeps it as well.
PLACEHOLDER = re.compile(
    r"%(?:(?P<literal>%)|(?P<pos>[1-9][0-9]*\$)?[-+#0]*(?:[0-9]+|\*)?(?:\.(?:[0-9]+|\*))?"
    r"(?P<conv>(?:hh|h|ll|l|q|z|t|j|L)?[@diouxXeEfFgGaAcCsSp])|(?P<stray>))")


class PoError(Exception):
    pass


class Entry:
    def __init__(self, line):
        self.line = line
        self.context = None
        self.msgid = None
        self.plural = None
        self.msgstr = {}
        self.flags = set()

    def key(self):
        return (self.context, self.msgid)

    def name(self):
        return key_name(self.key())


def unquote(text, where):
    text = text.strip()
    if len(text) < 2 or not text.startswith('"') or not text.endswith('"'):
        raise PoError(f"{where}: expected a quoted string, got {text!r}")
    body, out, i = text[1:-1], [], 0
    while i < len(body):
        ch = body[i]
        if ch == '"':
            raise PoError(f"{where}: unescaped double quote inside a string")
        if ch != "\\":
            out.append(ch)
            i += 1
            continue
        if i + 1 >= len(body):
            raise PoError(f"{where}: string ends with a lone backslash")
        esc = body[i + 1]
        if esc not in ESCAPES:
            raise PoError(f"{where}: unknown escape \\{esc}")
        out.append(ESCAPES[esc])
        i += 2
    return "".join(out)


def parse(path):
    """Returns the entries of one .po file, header first; raises PoError on malformed input."""
    try:
        text = Path(path).read_text(encoding="utf-8")
    except UnicodeDecodeError as err:
        raise PoError(f"{path}: not valid UTF-8 ({err})") from None
    except OSError as err:
        raise PoError(f"{path}: cannot read ({err.strerror})") from None

    entries, entry, field, pending_flags = [], None, None, set()

    def finish():
        nonlocal entry, field
        if entry is not None:
            if entry.msgid is None:
                raise PoError(f"{path}:{entry.line}: entry without msgid")
            if not entry.msgstr:
                raise PoError(f"{path}:{entry.line}: entry {entry.name()} has no msgstr")
            entries.append(entry)
        entry, field = None, None

    for number, raw in enumerate(text.splitlines(), 1):
        where = f"{path}:{number}"
        line = raw.strip()
        if not line:
            continue
        if line.startswith("#~"):
            continue  # obsolete entry kept by gettext tools; never looked up
        if line.startswith("#"):
            if entry is not None and entry.msgstr:
                finish()
            if line.startswith("#,"):
                pending_flags |= {f.strip() for f in line[2:].split(",") if f.strip()}
            continue
        if line.startswith('"'):
            if entry is None or field is None:
                raise PoError(f"{where}: continuation string outside an entry")
            kind, index = field
            piece = unquote(line, where)
            if kind == "msgstr":
                entry.msgstr[index] += piece
            else:
                setattr(entry, kind, getattr(entry, kind) + piece)
            continue
        match = re.match(r"(msgctxt|msgid_plural|msgid|msgstr)(?:\[([0-9]+)\])?\s+(.*)$", line)
        if not match:
            raise PoError(f"{where}: cannot parse {line!r}")
        keyword, index, rest = match.group(1), match.group(2), match.group(3)
        value = unquote(rest, where)
        if keyword in ("msgctxt", "msgid") and (entry is None or entry.msgstr):
            finish()
            entry = Entry(number)
            entry.flags, pending_flags = pending_flags, set()
        if entry is None:
            raise PoError(f"{where}: {keyword} before msgid")
        if keyword == "msgctxt":
            if entry.context is not None or entry.msgid is not None:
                raise PoError(f"{where}: misplaced msgctxt")
            entry.context, field = value, ("context", None)
        elif keyword == "msgid":
            if entry.msgid is not None:
                raise PoError(f"{where}: second msgid in one entry")
            entry.msgid, field = value, ("msgid", None)
        elif keyword == "msgid_plural":
            if entry.msgid is None or entry.plural is not None or entry.msgstr:
                raise PoError(f"{where}: misplaced msgid_plural")
            entry.plural, field = value, ("plural", None)
        else:
            if entry.msgid is None:
                raise PoError(f"{where}: msgstr before msgid")
            if (index is None) != (entry.plural is None):
                raise PoError(f"{where}: msgstr form does not match the entry's plural use")
            slot = int(index) if index is not None else 0
            if slot in entry.msgstr:
                raise PoError(f"{where}: second msgstr for one slot")
            entry.msgstr[slot], field = value, ("msgstr", slot)
    finish()

    if not entries or entries[0].key() != (None, ""):
        raise PoError(f"{path}: the file must start with the header entry (empty msgid)")
    header = entries[0].msgstr.get(0, "")
    if not re.search(r"^Content-Type:.*charset=UTF-8\s*$", header, re.M | re.I):
        raise PoError(f"{path}: header must declare Content-Type charset=UTF-8")
    if not re.search(r"^Language:\s*\S+\s*$", header, re.M):
        raise PoError(f"{path}: header must declare Language")
    return entries


def header_field(entries, name):
    found = re.search(rf"^{name}:\s*(.*?)\s*$", entries[0].msgstr.get(0, ""), re.M)
    return found.group(1) if found else None


def placeholders(text):
    """Arguments as (position, conversion) pairs, then the literal percent signs.

    Unnumbered conversions take positions 1, 2, ... in order, so a translation may reorder
    arguments only with numbered forms (%2$@ %1$d), the way the formatter consumes them."""
    args, literals, next_pos = [], [], 1
    for match in PLACEHOLDER.finditer(text):
        if match.group("literal") is not None:
            literals.append("%%")
        elif match.group("stray") is not None:
            literals.append("%")
        elif match.group("pos"):
            args.append((int(match.group("pos")[:-1]), match.group("conv")))
        else:
            args.append((next_pos, match.group("conv")))
            next_pos += 1
    return sorted(args), sorted(literals)


def check_placeholders(path, entry, problems):
    wanted = placeholders(entry.msgid)
    for slot, translation in sorted(entry.msgstr.items()):
        if translation == "":
            continue  # an empty msgstr falls back to the key itself
        got = placeholders(translation)
        if entry.plural is not None and slot > 0:
            expected, against = placeholders(entry.plural), "msgid_plural"
        else:
            expected, against = wanted, "the key"
        if got != expected:
            label = f" msgstr[{slot}]" if entry.plural is not None else ""
            problems.append(f"{path}:{entry.line}: placeholders of {entry.name()}{label} differ: "
                            f"translation has {describe(got)}, {against} has {describe(expected)}")


def describe(found):
    args, literals = found
    parts = [f"arg {pos} %{conv}" for pos, conv in args] + [f"literal {x}" for x in literals]
    return "[" + ", ".join(parts) + "]" if parts else "none"


def check(en_path, zh_path):
    problems = []
    tables = {}
    for path in (en_path, zh_path):
        try:
            tables[path] = parse(path)
        except PoError as err:
            problems.append(str(err))
    if problems:
        return problems

    zh_plural = header_field(tables[zh_path], "Plural-Forms") or ""
    if not re.match(r"nplurals\s*=\s*1\s*;", zh_plural):
        problems.append(f"{zh_path}: header Plural-Forms must have nplurals=1, got {zh_plural!r}")

    keys = {}
    for path, entries in tables.items():
        seen = {}
        for entry in entries[1:]:
            if entry.msgid == "":
                problems.append(f"{path}:{entry.line}: entry with an empty msgid after the header")
                continue
            if entry.key() in seen:
                problems.append(f"{path}:{entry.line}: duplicated key {entry.name()} "
                                f"(first at line {seen[entry.key()]})")
                continue
            seen[entry.key()] = entry.line
            check_placeholders(path, entry, problems)
        keys[path] = seen

    for here, there in ((en_path, zh_path), (zh_path, en_path)):
        for key, line in keys[here].items():
            if key not in keys[there]:
                problems.append(f"{here}:{line}: key {key_name(key)} is missing from {there}")

    for entry in tables[zh_path][1:]:
        if "fuzzy" in entry.flags:
            problems.append(f"{zh_path}:{entry.line}: translation of {entry.name()} is marked "
                            "fuzzy; review it and drop the flag")
        if any(text.strip() == "" for text in entry.msgstr.values()):
            problems.append(f"{zh_path}:{entry.line}: translation of {entry.name()} is empty")
    return problems


def key_name(key):
    context, msgid = key
    return f"{msgid!r}" + (f" (context {context!r})" if context is not None else "")


def main(argv):
    here = Path(__file__).resolve().parent
    if len(argv) == 1:
        en_path, zh_path = here / "en.po", here / "zh-Hans.po"
    elif len(argv) == 3:
        en_path, zh_path = Path(argv[1]), Path(argv[2])
    else:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    problems = check(str(en_path), str(zh_path))
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f"{len(problems)} problem(s) found", file=sys.stderr)
        return 1
    count = len(parse(str(en_path))) - 1
    print(f"ok: {count} entries in each table")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
