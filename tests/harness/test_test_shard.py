#!/usr/bin/env python3
"""Cases of test-shard over a small Qt Test program (shard_probe.cpp).

Usage: test_test_shard.py PROBE_PROGRAM
"""

import os
import re
import subprocess
import sys
import unittest

SHARD = os.path.join(os.path.dirname(os.path.abspath(__file__)), "test-shard")
PROBE = None

EVERY_CASE = ["plain", "rows:no tray", "rows:no tray, asked", "rows:tray", "other"]


def shard(mode, *names):
    """test-shard's exit status, the probe's cases it ran ("function" or
    "function:tag") and its error output."""
    run = subprocess.run([SHARD, mode, *names, "--", PROBE], capture_output=True, text=True, check=False)
    ran = []
    for function, tag in re.findall(r"^PASS   : ShardProbe::(\w+)\((.*)\)$", run.stdout, re.MULTILINE):
        if function not in ("initTestCase", "cleanupTestCase"):
            ran.append(f"{function}:{tag}" if tag else function)
    return run.returncode, ran, run.stderr


class TestShard(unittest.TestCase):
    CASES = [
        # (mode, names, the cases that run)
        ("--only", ["plain"], ["plain"]),
        ("--except", ["plain"], ["rows:no tray", "rows:no tray, asked", "rows:tray", "other"]),
        ("--only", ["other", "plain"], ["plain", "other"]),
        ("--only", ["rows"], ["rows:no tray", "rows:no tray, asked", "rows:tray"]),
        ("--except", ["rows"], ["plain", "other"]),
        # A row alone, its tag holding spaces and a comma.
        ("--only", ["rows:no tray, asked"], ["rows:no tray, asked"]),
        ("--except", ["rows:no tray, asked"], ["plain", "rows:no tray", "rows:tray", "other"]),
        ("--only", ["rows:tray", "other"], ["rows:tray", "other"]),
        ("--except", ["rows:tray", "rows:no tray", "plain"], ["rows:no tray, asked", "other"]),
    ]

    def test_cases(self):
        for mode, names, expected in self.CASES:
            with self.subTest(mode=mode, names=names):
                status, ran, errors = shard(mode, *names)
                self.assertEqual((status, ran), (0, expected), errors)

    def test_every_case_runs_in_one_shard_or_the_rest(self):
        named = [["rows:tray"], ["plain", "rows:no tray"]]
        ran = [case for names in named for case in shard("--only", *names)[1]]
        ran += shard("--except", *[name for names in named for name in names])[1]
        self.assertCountEqual(ran, EVERY_CASE)

    def test_refused(self):
        for mode, names, error in [
            # A renamed function or row is never left out unnoticed.
            ("--only", ["missing"], "has no test function or row missing"),
            ("--except", ["missing"], "has no test function or row missing"),
            ("--only", ["rows:missing"], "has no test function or row rows:missing"),
            ("--only", ["rows:no tray,"], "has no test function or row rows:no tray,"),
            ("--except", ["plain", "rows", "other"], "no test function"),
        ]:
            with self.subTest(mode=mode, names=names):
                status, ran, errors = shard(mode, *names)
                self.assertEqual((status, ran), (1, []))
                self.assertIn(error, errors)

    def test_usage(self):
        for arguments in [[], ["--only"], ["--only", "plain"], ["--only", "--", PROBE], ["--all", "plain", "--", PROBE]]:
            with self.subTest(arguments=arguments):
                run = subprocess.run([SHARD, *arguments], capture_output=True, text=True, check=False)
                self.assertEqual(run.returncode, 2, run.stdout)
                self.assertIn("usage:", run.stderr)


if __name__ == "__main__":
    PROBE = sys.argv.pop(1)
    unittest.main()
