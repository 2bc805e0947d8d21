#!/usr/bin/env python3
# Counts the test cases of a build tree's CTest JUnit report (ctest --output-junit) for
# run-tests: prints "passed failed". A test that keeps a report of its own cases (a whole suite
# in one process: reports/<test>.xml or reports/<test>/*.xml beside the JUnit file) counts its
# cases instead, plus one failure when it failed with no failing case in that report (a crash,
# a time-out). Skipped cases count as neither; a test not run for a failed fixture fails.
#   usage: count-tests.py BUILD_DIR/junit.xml
import glob
import os
import sys
import xml.etree.ElementTree as ET


def verdict(case):
    """'pass', 'fail' or 'skip' of one <testcase> (CTest's or GoogleTest's or the browser's)."""
    if case.find('failure') is not None or case.find('error') is not None:
        return 'fail'
    status = case.get('status', 'run')
    if case.get('result') in ('skipped', 'suppressed') or status == 'disabled':
        return 'skip'
    if status == 'notrun' or case.find('skipped') is not None:
        skipped = case.find('skipped')
        message = skipped.get('message', '') if skipped is not None else ''
        # GoogleTest's own skips are "notrun" in its reports; CTest names what made it skip a
        # test (SKIP_REGULAR_EXPRESSION_MATCHED, SKIP_RETURN_CODE=...), or why it did not run it.
        return 'skip' if message == '' or message.startswith('SKIP_') or message == 'Disabled' else 'fail'
    return 'pass'


def main(junit):
    reports = os.path.join(os.path.dirname(junit), 'reports')
    counts = {'pass': 0, 'fail': 0, 'skip': 0}
    for case in ET.parse(junit).iter('testcase'):
        name, own = case.get('name'), verdict(case)
        suite = glob.glob(os.path.join(reports, name + '.xml')) + glob.glob(os.path.join(reports, name, '*.xml'))
        inner = [verdict(c) for path in suite for c in ET.parse(path).iter('testcase')]
        if not inner:
            inner = [own]
        elif own == 'fail' and 'fail' not in inner:
            inner.append('fail')
        for v in inner:
            counts[v] += 1
        if 'fail' in inner:
            print(f'FAILED: {name}', file=sys.stderr)
    print(counts['pass'], counts['fail'])


main(sys.argv[1])
