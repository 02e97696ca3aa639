#!/usr/bin/env python3
"""Reports what in .m files only Octave reads: each file named on the command
line (or every .m file under a folder named there) must be written in the
language MATLAB and Octave share, since the same files run in both hosts.
Prints file:line: what, and exits 1 if anything was found."""
import os
import re
import sys

# Checked on the code alone, strings and comments blanked out.
CODE_RULES = [
    (re.compile(r'"'), 'a double-quoted string'),
    (re.compile(r'#'), 'a # comment'),
    (re.compile(r'!'), '! (use ~, ~=)'),
    (re.compile(r'\+\+|--|[-+*/^|&]='), 'an increment or assignment operator'),
    (re.compile(r'\*\*'), '** (use ^)'),
    (re.compile(r'\b(endfunction|endif|endfor|endwhile|endswitch|end_try_catch|'
                r'unwind_protect|unwind_protect_cleanup|end_unwind_protect|do|until)\b'),
     'an Octave-only keyword'),
    (re.compile(r'\b(printf|puts|fputs|fdisp|ifelse|merge|rows|columns|'
                r'print_usage|confirm_recursive_rmdir)\s*\('), 'an Octave-only function'),
    (re.compile(r'^\s*function\b[^(]*\([^)]*='), 'a default argument'),
    # Indexing the result of a call: a(1)(2); anonymous parameter lists
    # are removed first.
    (re.compile(r'\)\s*\('), 'indexing a call\'s result'),
]


def blank(line, in_block):
    """The line's code with strings' contents and comments replaced by
    spaces, and whether a block comment goes on."""
    stripped = line.strip()
    if in_block:
        return '', stripped != '%}'
    if stripped == '%{':
        return '', True
    out = []
    i = 0
    in_string = False
    while i < len(line):
        c = line[i]
        if in_string:
            if c == "'":
                if line[i + 1:i + 2] == "'":
                    out.append('  ')
                    i += 2
                    continue
                in_string = False
                out.append(c)
            else:
                out.append(' ')
        elif c == '%':
            break
        elif c == "'":
            previous = line[i - 1] if i > 0 else ' '
            if not (previous.isalnum() or previous in "_)]}.'"):
                in_string = True
            out.append(c)
        else:
            out.append(c)
        i += 1
    code = ''.join(out)
    code = re.sub(r'@\([^)]*\)', '@f', code)
    return code, False


def check(path):
    found = []
    with open(path, encoding='utf-8') as f:
        lines = f.read().split('\n')
    in_block = False
    first_code = None
    functions = 0
    for number, line in enumerate(lines, 1):
        code, in_block = blank(line, in_block)
        if not code.strip():
            continue
        if first_code is None:
            first_code = code.strip()
        if re.match(r'\s*function\b', code):
            functions += 1
        for rule, what in CODE_RULES:
            if rule.search(code):
                found.append('%s:%d: %s' % (path, number, what))
    if first_code is not None and not re.match(r'function\b', first_code) and functions:
        found.append('%s: functions in a script (Octave needs them before their use, '
                     'MATLAB after the code)' % path)
    return found


def main(arguments):
    paths = []
    for argument in arguments:
        if os.path.isdir(argument):
            for folder, _, names in sorted(os.walk(argument)):
                paths += [os.path.join(folder, n) for n in sorted(names) if n.endswith('.m')]
        else:
            paths.append(argument)
    found = [line for path in paths for line in check(path)]
    for line in found:
        print(line)
    print('%d files checked, %d findings' % (len(paths), len(found)))
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
