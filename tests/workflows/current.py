#!/usr/bin/env python3
"""Reports, in the workflow files named on the command line, what actionlint
lets through but GitHub no longer runs as written: runner labels of retired
images, and majors of actions that declare the Node 20 runtime (which GitHub
has run on Node 24 since June 2026, with a warning on every run).  Exits 1
if anything was found.

  current.py WORKFLOW.yml...
"""
import re
import sys

# Retired images (actions/runner-images announcements); macos-14 went on
# 2 November 2026 (actions/runner-images#13518).
RETIRED = {
    'ubuntu-18.04', 'ubuntu-20.04', 'windows-2016', 'windows-2019',
    'macos-10.15', 'macos-11', 'macos-12', 'macos-13', 'macos-14',
    'macos-12-xl', 'macos-13-xl', 'macos-13-large', 'macos-13-xlarge',
    'macos-14-large', 'macos-14-xlarge',
}
# The first major of each action that declares node24.
NODE24 = {
    'actions/checkout': 5,
    'actions/upload-artifact': 6,
    'actions/download-artifact': 7,
    'matlab-actions/setup-matlab': 3,
    'matlab-actions/run-command': 3,
    'matlab-actions/run-tests': 3,
    'matlab-actions/run-build': 3,
}


def main(paths):
    if not paths or paths[0] in ('-h', '--help'):
        print(__doc__.strip())
        return 0 if paths else 2
    found = 0
    for path in paths:
        with open(path, encoding='utf-8') as f:
            for number, line in enumerate(f, 1):
                code = line.split('#', 1)[0]
                for label in re.findall(r'[\w.-]+', code):
                    if label in RETIRED and re.search(r'\b(runs-on|os)\s*:', code):
                        print('%s:%d: runner label %s: its image is retired' % (path, number, label))
                        found += 1
                m = re.search(r'uses:\s*([\w.-]+/[\w.-]+)@v(\d+)', code)
                if m and m.group(1) in NODE24 and int(m.group(2)) < NODE24[m.group(1)]:
                    print('%s:%d: %s@v%s declares Node 20; its first Node 24 major is v%d'
                          % (path, number, m.group(1), m.group(2), NODE24[m.group(1)]))
                    found += 1
    print('%d workflow files, %d problems' % (len(paths), found))
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
