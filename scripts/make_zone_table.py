#!/usr/bin/env python3
"""Writes storage/ical/ical_zone_table.cpp, the zone definitions built into
the program, from the system's zone data (the compiled zone files and
tzdata.zi of /usr/share/zoneinfo). Run it when that data changes; the table
is committed, so no build and no running program ever reads zone files.

    scripts/make_zone_table.py [zoneinfo folder [Windows name mapping]]

Each zone is written as the STANDARD/DAYLIGHT parts of a VTIMEZONE: the
offset in force on 1 January 1970, every change since then as a dated
change (DTSTART and RDATE), and from the first change from which the zone's
current rule holds on, that rule as yearly RRULEs. A zone whose current rule
a yearly RRULE cannot say keeps its dated changes up to the end of the
compiled data instead. The tz database's links (US/Eastern, Europe/Kiev,
...) share the text of the zone they name; zones with the same parts share
one text. A zone without a yearly rule keeps its dated changes past 2038 too
(Africa/Casablanca's). Beside the zones, the Windows names of zones
("Eastern Standard Time") with the zone each stands for, from the CLDR
mapping python3-icalendar packages (windows_to_olson.py)."""
import ast
import os
import re
import struct
import sys

# The CLDR table of Windows zone names, as python3-icalendar packages it.
WINDOWS_MAPPING = "/usr/lib/python3/dist-packages/icalendar/windows_to_olson.py"
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "storage", "ical", "ical_zone_table.cpp")
EPOCH_JD = 2440588  # 1970-01-01
DAYS = ["SU", "MO", "TU", "WE", "TH", "FR", "SA"]


def read_tzif(path):
    """(transitions [(utc, offset, isdst, abbr)], type before the first, footer)."""
    with open(path, "rb") as f:
        d = f.read()
    if d[:4] != b"TZif" or d[4:5] < b"2":
        sys.exit("%s: not a version 2+ zone file" % path)

    def counts(at):
        return struct.unpack(">6l", d[at + 20:at + 44])

    isut, isstd, leap, timecnt, typecnt, charcnt = counts(0)
    at = 44 + timecnt * 5 + typecnt * 6 + charcnt + leap * 8 + isstd + isut
    isut, isstd, leap, timecnt, typecnt, charcnt = counts(at)
    p = at + 44
    times = struct.unpack(">%dq" % timecnt, d[p:p + 8 * timecnt])
    p += 8 * timecnt
    index = d[p:p + timecnt]
    p += timecnt
    types = []
    for i in range(typecnt):
        off, dst, ai = struct.unpack(">lBB", d[p + 6 * i:p + 6 * i + 6])
        types.append((off, dst, ai))
    p += 6 * typecnt
    chars = d[p:p + charcnt]
    p += charcnt + leap * 12 + isstd + isut
    footer = d[p:].strip().decode("ascii")

    def typed(t):
        off, dst, ai = types[t]
        return off, dst, chars[ai:chars.index(b"\0", ai)].decode("ascii")

    # Some files end with a mark at the end of 32-bit time, not a change.
    changes = [(t,) + typed(i) for t, i in zip(times, index)]
    marks = [i for i, c in enumerate(changes) if c[0] == 2**31 - 1 and (i == 0 or changes[i - 1][1:] == c[1:])]
    return [c for i, c in enumerate(changes) if i not in marks], typed(0), footer


def julian_day(y, m, d):
    a = (14 - m) // 12
    y2, m2 = y + 4800 - a, m + 12 * a - 3
    return d + (153 * m2 + 2) // 5 + 365 * y2 + y2 // 4 - y2 // 100 + y2 // 400 - 32045


def month_length(y, m):
    return julian_day(y + (m == 12), m % 12 + 1, 1) - julian_day(y, m, 1)


def civil(jd):
    a = jd + 32044
    b = (4 * a + 3) // 146097
    c = a - 146097 * b // 4
    d = (4 * c + 3) // 1461
    e = c - 1461 * d // 4
    m = (5 * e + 2) // 153
    return 100 * b + d - 4800 + m // 10, m + 3 - 12 * (m // 10), e - (153 * m + 2) // 5 + 1


def stamp(local):
    """YYYYMMDDTHHMMSS of seconds since 1970 on a wall clock."""
    day, second = divmod(local, 86400)
    y, m, d = civil(day + EPOCH_JD)
    return "%04d%02d%02dT%02d%02d%02d" % (y, m, d, second // 3600, second // 60 % 60, second % 60)


def offset_text(seconds):
    sign = "-" if seconds < 0 else "+"
    s = abs(seconds)
    text = "%s%02d%02d" % (sign, s // 3600, s // 60 % 60)
    return text + ("%02d" % (s % 60) if s % 60 else "")


def posix_offset(text):
    sign = -1 if text.startswith("-") else 1
    parts = [int(x) for x in text.lstrip("+-").split(":")] + [0, 0]
    return sign * (parts[0] * 3600 + parts[1] * 60 + parts[2])


def parse_footer(footer):
    """None for a zone without daylight time, else (std, dst, names, start, end),
    each change (month, week, weekday, seconds of its day)."""
    name = r"(<[^>]*>|[A-Za-z]+)"
    num = r"([+-]?\d+(?::\d+){0,2})"
    m = re.fullmatch(name + num + "(?:" + name + num + "?" + r",(.*))?", footer)
    if not m:
        sys.exit("footer %r not understood" % footer)
    std = -posix_offset(m.group(2))
    if not m.group(3):
        return None
    dst = -posix_offset(m.group(4)) if m.group(4) else std + 3600
    changes = []
    for rule in m.group(5).split(","):
        r = re.fullmatch(r"M(\d+)\.(\d)\.(\d)(?:/" + num + ")?", rule)
        if not r:
            sys.exit("footer rule %r not understood" % rule)
        changes.append((int(r.group(1)), int(r.group(2)), int(r.group(3)),
                        posix_offset(r.group(4)) if r.group(4) else 7200))
    return std, dst, (m.group(1).strip("<>"), m.group(3).strip("<>")), changes[0], changes[1]


def change_day(change, year):
    month, week, weekday, _ = change
    first = julian_day(year, month, 1)
    if week == 5:
        last = first + month_length(year, month) - 1
        return last - ((last + 1) % 7 - weekday) % 7
    return first + (weekday - (first + 1) % 7) % 7 + 7 * (week - 1)


def footer_changes(rule, first_year, last_year):
    """[(utc, offset after, isdst)] of the footer's rule in those years."""
    std, dst, _, start, end = rule
    out = []
    for y in range(first_year, last_year + 1):
        for change, before, after, isdst in ((start, std, dst, 1), (end, dst, std, 0)):
            local = (change_day(change, y) - EPOCH_JD) * 86400 + change[3]
            out.append((local - before, after, isdst))
    return sorted(out)


def yearly_rrule(change):
    """FREQ=YEARLY... and the change's second of day; None when a yearly rule of
    one month cannot say it."""
    month, week, weekday, seconds = change
    shift, second = divmod(seconds, 86400)
    day = DAYS[(weekday + shift) % 7]
    rule = "FREQ=YEARLY;BYMONTH=%d;" % month
    if shift == 0:
        return rule + "BYDAY=%d%s" % (-1 if week == 5 else week, day), second
    low, high = (7 * (week - 1) + 1 + shift, 7 * week + shift) if week < 5 else (-7 + shift, -1 + shift)
    shortest = [31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31][month - 1]
    if (week < 5 and (low < 1 or high > shortest)) or (week == 5 and high > -1):
        return None
    return rule + "BYMONTHDAY=%s;BYDAY=%s" % (",".join(str(d) for d in range(low, high + 1)), day), second


def part(kind, name, before, after, onsets, rrule=None):
    lines = ["BEGIN:" + kind, "TZNAME:" + name, "TZOFFSETFROM:" + offset_text(before),
             "TZOFFSETTO:" + offset_text(after), "DTSTART:" + stamp(onsets[0] + before)]
    lines += ["RDATE:" + stamp(t + before) for t in onsets[1:]]
    if rrule:
        lines.append("RRULE:" + rrule)
    lines.append("END:" + kind)
    return lines


def rules_of(path):
    transitions, first_type, footer = read_tzif(path)
    rule = parse_footer(footer)
    if rule:
        # A yearly rule says the changes after 2038; dated changes past it
        # are kept only where the zone has none (Africa/Casablanca).
        transitions = [t for t in transitions if t[0] < 2**31 - 1]
    before = [t for t in transitions if t[0] <= 0]
    offset, isdst, name = before[-1][1:] if before else first_type
    lines = part("DAYLIGHT" if isdst else "STANDARD", name, offset, offset, [0])
    history = [t for t in transitions if t[0] > 0]
    yearly = []
    if rule:
        rrules = [yearly_rrule(rule[3]), yearly_rrule(rule[4])]
        last_year = civil(history[-1][0] // 86400 + EPOCH_JD)[0] if history else 1970
        predicted = footer_changes(rule, 1969, last_year + 1)
        if history and None not in rrules:
            end = history[-1][0]
            # The first change from which the file's changes are the rule's.
            cut = len(history)
            for i in range(len(history) - 1, -1, -1):
                want = [p for p in predicted if history[i][0] <= p[0] <= end]
                if [(t, o, d) for t, o, d, _ in history[i:]] != want:
                    break
                cut = i
            if cut < len(history):
                yearly = history[cut:]
                history = history[:cut]
    previous = offset
    groups = {}
    order = []
    for t, off, dst, abbr in history:
        key = (dst, abbr, previous, off)
        if key not in groups:
            groups[key] = []
            order.append(key)
        groups[key].append(t)
        previous = off
    for key in order:
        dst, abbr, frm, to = key
        lines += part("DAYLIGHT" if dst else "STANDARD", abbr, frm, to, groups[key])
    if yearly:
        std, dst, names, start, end = rule
        for isdst in (1, 0):
            first = next(t for t in yearly if t[2] == isdst)
            change = start if isdst else end
            frm, to = (std, dst) if isdst else (dst, std)
            rrule = yearly_rrule(change)[0]
            lines += part("DAYLIGHT" if isdst else "STANDARD", names[isdst], frm, to, [first[0]], rrule)
    for line in lines:
        if '"' in line or "\\" in line:
            sys.exit("%s: a line the table cannot carry: %r" % (path, line))
    return "\r\n".join(lines) + "\r\n"


def windows_names(path, zones):
    """[(Windows zone name, zone)] from the packaged CLDR mapping, in strcmp order."""
    with open(path, encoding="utf-8") as f:
        tree = ast.parse(f.read())
    mapping = next(ast.literal_eval(n.value) for n in tree.body
                   if isinstance(n, ast.Assign) and n.targets[0].id == "WINDOWS_TO_OLSON")
    pairs = []
    for name, zone in mapping.items():
        if zone not in zones:
            sys.exit("%s: %s names %s, not a zone" % (path, name, zone))
        if name not in zones:
            pairs.append((name, zone))
    return sorted(pairs, key=lambda p: p[0].encode("ascii"))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/zoneinfo"
    mapping = sys.argv[2] if len(sys.argv) > 2 else WINDOWS_MAPPING
    zones, links, version = {}, {}, "?"
    with open(os.path.join(folder, "tzdata.zi"), encoding="ascii") as f:
        for line in f:
            words = line.split()
            if line.startswith("# version"):
                version = words[2]
            elif words and words[0] == "Z":
                zones[words[1]] = rules_of(os.path.join(folder, words[1]))
            elif words and words[0] == "L":
                links[words[2]] = words[1]
    for alias, target in links.items():
        if target not in zones:
            sys.exit("link %s names %s, not a zone" % (alias, target))
        zones.setdefault(alias, zones[target])
    # Byte order: the program finds a name by binary search with strcmp.
    names = sorted(zones, key=lambda n: n.encode("ascii"))
    windows = windows_names(mapping, zones)
    texts = sorted(set(zones.values()))
    index = {t: i for i, t in enumerate(texts)}
    size = sum(len(t) for t in texts)

    out = ["// Generated by scripts/make_zone_table.py from the system's zone data (tzdata %s);" % version,
           "// do not edit. %d names (%d of them links), %d distinct sets of rules, %d bytes of rules." %
           (len(names), len(links), len(texts), size),
           '#include "storage/ical/ical_zones.h"',
           "",
           "namespace icalx {",
           "",
           "const char* const kBuiltInZoneRules[] = {"]
    for t in texts:
        out.append('    "%s",' % t.replace("\r\n", "\\r\\n"))
    out.append("};")
    out.append("")
    out.append("const BuiltInZone kBuiltInZones[] = {")
    for n in names:
        out.append("    {\"%s\", %d}," % (n, index[zones[n]]))
    out.append("};")
    out.append("")
    out.append("const size_t kBuiltInZoneCount = sizeof kBuiltInZones / sizeof kBuiltInZones[0];")
    out.append("")
    out.append("const WindowsZoneName kWindowsZoneNames[] = {")
    for name, zone in windows:
        out.append("    {\"%s\", \"%s\"}," % (name, zone))
    out.append("};")
    out.append("")
    out.append("const size_t kWindowsZoneNameCount = sizeof kWindowsZoneNames / sizeof kWindowsZoneNames[0];")
    out.append("")
    out.append("}  // namespace icalx")
    with open(OUT, "w", newline="\n") as f:
        f.write("\n".join(out) + "\n")
    print("%s: %d names, %d rule texts, %d bytes of rules" % (OUT, len(names), len(texts), size))


if __name__ == "__main__":
    main()
