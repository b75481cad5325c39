#!/usr/bin/env python3
"""Says, from ctest's JUnit file, which editions ran end to end and how many
end-to-end tests each passed, and fails when one that this machine runs had a
test skipped or none passed, or when no edition ran at all.

    e2esummary.py RESULTS.xml "EDITIONS"

EDITIONS is what scripts/editions.sh printed, e.g. "64" or "32 64". An
end-to-end test names its edition: e2e.Editions/<Suite>.<Test>/Edition32 or
/Edition64.
"""
import os
import re
import sys
import xml.etree.ElementTree as ET

EDITION_OF_NAME = re.compile(r"^e2e\.Editions/.*/Edition(32|64)$")
# The fixtures that make and remove the template prefixes are no tests of
# the program.
FIXTURE = re.compile(r"^e2e\.(Make|Remove)")


def edition_of(name):
    match = EDITION_OF_NAME.match(name)
    return match.group(1) if match else "other"


def outcome(case):
    if case.find("failure") is not None or case.get("status") == "fail":
        return "failed"
    if case.find("skipped") is not None or case.get("status") in ("notrun", "disabled"):
        return "skipped"
    return "passed"


def why_not(edition):
    if edition == "32" and os.environ.get("STRENNIX_NO_32BIT") == "1":
        return "STRENNIX_NO_32BIT=1"
    loader = "32-bit" if edition == "32" else "64-bit"
    return f"Wine's {loader} loader does not run on this machine"


def count(results):
    counts = {}
    for case in ET.parse(results).getroot().iter("testcase"):
        name = case.get("name", "")
        if not name.startswith("e2e.") or FIXTURE.match(name):
            continue
        tally = counts.setdefault(edition_of(name), {"passed": 0, "failed": 0, "skipped": 0})
        tally[outcome(case)] += 1
    return counts


def summarize(counts, runnable):
    """Prints one line per edition; returns whether the end-to-end part passed."""
    ok = True
    for edition in ("32", "64"):
        tally = counts.get(edition, {"passed": 0, "failed": 0, "skipped": 0})
        label = f"test: end to end, {edition}-bit edition:"
        if edition not in runnable:
            print(f"{label} not run ({why_not(edition)})")
            continue
        total = sum(tally.values())
        print(f"{label} {tally['passed']} of {total} tests passed"
              f", {tally['failed']} failed, {tally['skipped']} skipped")
        ok = ok and tally["passed"] > 0 and tally["failed"] == 0 and tally["skipped"] == 0
    other = counts.get("other")
    if other:
        print(f"test: end to end, tests that name no edition: {other['passed']} passed"
              f", {other['failed']} failed, {other['skipped']} skipped")
        ok = ok and other["failed"] == 0 and other["skipped"] == 0
    return ok


def main():
    results, runnable = sys.argv[1], sys.argv[2].split()
    if not runnable:
        print("test: no end-to-end test ran: this machine runs neither of Wine's loaders")
        return 1
    if not os.path.exists(results):
        print(f"test: no end-to-end test ran: ctest wrote no results ({results})")
        return 1
    counts = count(results)
    if not summarize(counts, runnable):
        print("test: the end-to-end tests did not all pass, or some were skipped")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
