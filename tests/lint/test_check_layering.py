#!/usr/bin/env python3
"""Cases of check_layering.py over small trees of their own."""

import os
import sys
import tempfile
import unittest
from unittest import mock

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_layering  # noqa: E402


def errors_of(files):
    """The check's errors over a tree of the given files (path -> lines)."""
    with tempfile.TemporaryDirectory() as root:
        for path, lines in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as source:
                source.write("".join(line + "\n" for line in lines))
        return [e for e in check_layering.check(root, set()) if "stale exception" not in e]


class CheckLayering(unittest.TestCase):
    CASES = [
        # (files, the error expected, or None for a clean tree)
        ({"src/backend/A.cpp": ['#include "core/B.h"'], "src/core/B.h": []}, None),
        ({"src/core/B.cpp": ['#include "backend/A.h"'], "src/backend/A.h": []}, "core may not include backend"),
        ({"src/catalogue/A.cpp": ['#include "websvc/B.h"'], "src/websvc/B.h": []},
         "catalogue may not include websvc"),
        # The preferences and the catalogue are one floor that includes itself both ways.
        ({"src/prefs/A.cpp": ['#include "catalogue/B.h"'],
          "src/catalogue/B.cpp": ['#include "prefs/A.h"'], "src/prefs/A.h": [], "src/catalogue/B.h": []}, None),
        # One library, two areas: each may include the other, but not both ways.
        ({"src/openconnect/A.cpp": ['#include "openvpn/B.h"'], "src/openvpn/B.h": []}, None),
        ({"src/openconnect/A.cpp": ['#include "openvpn/B.h"'],
          "src/openvpn/B.cpp": ['#include "openconnect/A.h"'], "src/openconnect/A.h": [], "src/openvpn/B.h": []},
         "a circle of includes: openconnect -> openvpn -> openconnect"),
    ]

    def test_cases(self):
        for files, expected in self.CASES:
            with self.subTest(files=sorted(files)):
                errors = errors_of(files)
                if expected is None:
                    self.assertEqual(errors, [])
                else:
                    self.assertTrue(any(expected in e for e in errors), errors)

    def test_core_takes_no_exception(self):
        files = {"src/core/B.cpp": ['#include "backend/A.h"'], "src/backend/A.h": []}
        named = {"src/core/B.cpp": (["backend/A.h"], "a reason")}
        with mock.patch.dict(check_layering.EXCEPTIONS, named):
            self.assertTrue(any("core is the ground floor" in e for e in errors_of(files)))


if __name__ == "__main__":
    unittest.main()
