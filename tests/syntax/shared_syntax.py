#!/usr/bin/env python3
"""Reports what in .m files MATLAB reads differently from Octave, or not at
all: each file named on the command line (or every .m file under a folder
named there) must be written in the language MATLAB and Octave share, since
the same files run in both hosts.

  shared_syntax.py PATH...            prints file:line: [kind] what, for each
                                      finding, then the counts; exits 1 if
                                      anything was found
  shared_syntax.py --fixture FILE...  checks the lint itself: every line of
                                      FILE marked "% expect: KIND" must give a
                                      finding of that kind, and no other line
                                      may give one; exits 1 otherwise
  shared_syntax.py --help             this text

What it finds (the kind in brackets):
  [split-error]  inside [ ] or { }, whitespace before "(" ends the element
                 before it in MATLAB (MISS_HIT's LEXING_ISSUES.md, "Matrices"):
                 "{@(x) struct ('a', x)}" is "{@(x) struct, ('a', x)}", and
                 "('a', x)" does not parse
  [split]        the same split where the rest parses, silently making two
                 elements: "{char (x + 65)}" is "{char, (x + 65)}" (Octave
                 keeps "@(x) char (x + 65)" whole in a cell, MATLAB does not),
                 "c{f (1)}" indexes with two subscripts, "name {1}" is two
                 elements.  A split after a number, a string or a closing
                 bracket before "(" is how MATLAB writes two elements
                 ("[a(1) (2)]" is "[a(1), 2]"), as is a unary sign after
                 whitespace ("[1 -2]", "[x -1]"; "[x - 1]" is one): these are
                 read as MATLAB reads them and not reported
  [octave-only]  syntax or functions only Octave has: double-quoted strings,
                 # comments, !, ++ and +=, **, Octave's end keywords and
                 blocks, default arguments, indexing a call's result, and
                 calls of functions MATLAB lacks (printf, hash, mkoctfile, ...,
                 with parentheses or as a command: "pkg load x") outside
                 a branch that only Octave runs: the body of
                 "if (exist ('OCTAVE_VERSION', 'builtin'))" (or of a variable
                 assigned from it), or the else of its negation
  [script]       functions in a script (Octave needs them before their use,
                 MATLAB after the code)
  [help-width]   a help line (the first comment block, after the function
                 line or at the top) wider than 80 columns
"""
import os
import re
import sys

OCTAVE_FUNCTIONS = ('printf', 'puts', 'fputs', 'fdisp', 'ifelse', 'merge', 'rows', 'columns',
                    'print_usage', 'confirm_recursive_rmdir', 'hash', 'mkoctfile', 'unsetenv',
                    'octave_config_info', '__octave_config_info__', 'pkg', 'OCTAVE_HOME')
OCTAVE_KEYWORDS = ('endfunction', 'endif', 'endfor', 'endwhile', 'endswitch', 'end_try_catch',
                   'unwind_protect', 'unwind_protect_cleanup', 'end_unwind_protect', 'do', 'until',
                   'endparfor')
BLOCK_OPENERS = ('if', 'for', 'parfor', 'while', 'switch', 'try', 'function', 'spmd')
BRANCHES = ('else', 'elseif', 'case', 'otherwise', 'catch')
# The test that only Octave passes, with spaces and outer parentheses removed.
OCTAVE_TEST = "exist('OCTAVE_VERSION','builtin')"


class Token:
    __slots__ = ('kind', 'text', 'line', 'space_before', 'col')

    def __init__(self, kind, text, line, col, space_before):
        self.kind = kind          # name, number, string, dqstring, op, open, close, comma, semi, newline
        self.text = text
        self.line = line
        self.col = col
        self.space_before = space_before

    def ends_value(self):
        """Whether an element may end with this token (MISS_HIT: identifiers,
        numbers, strings, closing brackets, end, transpose)."""
        return self.kind in ('name', 'number', 'string', 'dqstring', 'close', 'transpose')


def string_end(line, i, escapes):
    """The position of the quote that closes the string opened at line[i]
    (a doubled quote stands for one; with escapes, a backslash takes the next
    character), or the line's length where none does."""
    quote = line[i]
    j = i + 1
    while j < len(line):
        if escapes and line[j] == '\\':
            j += 2
            continue
        if line[j] == quote:
            if line[j + 1:j + 2] == quote:
                j += 2
                continue
            break
        j += 1
    return j


def tokenize(text, found, path):
    """The tokens of a whole file, comments and continuations removed; a
    continuation counts as whitespace, a newline inside brackets as a row
    separator.  Lexical findings go to FOUND."""
    tokens = []
    depth = []                      # the open brackets
    lines = text.split('\n')
    block_comment = 0
    for number, line in enumerate(lines, 1):
        stripped = line.strip()
        if stripped == '%{' or (block_comment and stripped == '%{'):
            block_comment += 1
            continue
        if block_comment:
            if stripped == '%}':
                block_comment -= 1
            continue
        i = 0
        space = True                # the start of a line counts as whitespace
        n = len(line)
        while i < n:
            c = line[i]
            if c in ' \t':
                space = True
                i += 1
                continue
            if line.startswith('...', i):
                space = True        # the rest of the line is a comment
                break
            if c == '%':
                break
            if c == '#':
                found.append((number, 'octave-only', 'a # comment'))
                break
            previous = tokens[-1] if tokens else None
            if c == "'":
                transpose = (previous is not None and previous.line == number and not space
                             and previous.ends_value())
                if transpose:
                    tokens.append(Token('transpose', "'", number, i, space))
                    i += 1
                    space = False
                    continue
                j = string_end(line, i, escapes=False)
                tokens.append(Token('string', line[i:j + 1], number, i, space))
                i = j + 1
                space = False
                continue
            if c == '"':
                found.append((number, 'octave-only', 'a double-quoted string (a string object in MATLAB)'))
                j = string_end(line, i, escapes=True)
                tokens.append(Token('dqstring', line[i:j + 1], number, i, space))
                i = j + 1
                space = False
                continue
            m = re.match(r'[A-Za-z_]\w*', line[i:])
            if m:
                tokens.append(Token('name', m.group(0), number, i, space))
                i += len(m.group(0))
                space = False
                continue
            m = re.match(r'(\d+\.?\d*|\.\d+)([eEdD][+-]?\d+)?[ij]?', line[i:])
            if m and not (c == '.' and previous is not None and previous.ends_value() and not space):
                tokens.append(Token('number', m.group(0), number, i, space))
                i += len(m.group(0))
                space = False
                continue
            if c in '([{':
                depth.append(c)
                tokens.append(Token('open', c, number, i, space))
            elif c in ')]}':
                if depth:
                    depth.pop()
                tokens.append(Token('close', c, number, i, space))
            elif c == ',':
                tokens.append(Token('comma', c, number, i, space))
            elif c == ';':
                tokens.append(Token('semi', c, number, i, space))
            else:
                m = re.match(r"\.\^|\.\*|\./|\.\\|\.'|==|~=|!=|<=|>=|&&|\|\||\+\+|--|\*\*|[-+*/\\^|&]=|[-+*/\\^<>=&|~!:.@?]", line[i:])
                text_op = m.group(0) if m else c
                if text_op == ".'":
                    tokens.append(Token('transpose', text_op, number, i, space))
                else:
                    tokens.append(Token('op', text_op, number, i, space))
                i += len(text_op)
                space = False
                continue
            i += 1
            space = False
        tokens.append(Token('newline', '\n', number, len(line), space))
    return tokens


def group_end(tokens, k):
    """The index of the bracket closing the one opened at K, and whether a
    comma stands directly inside it."""
    level = 0
    comma = False
    for j in range(k, len(tokens)):
        t = tokens[j]
        if t.kind == 'open':
            level += 1
        elif t.kind == 'close':
            level -= 1
            if level == 0:
                return j, comma
        elif t.kind == 'comma' and level == 1:
            comma = True
    return len(tokens) - 1, comma


def bracket_findings(tokens, found):
    """The splits MATLAB makes inside [ ] and { }: after a token that may end
    an element, whitespace, then the start of another (MISS_HIT's rules for
    the anonymous comma)."""
    stack = []                      # (bracket, is a lambda's parameter list)
    lambda_closed = False           # the previous token closed @(...)
    for k, t in enumerate(tokens):
        previous = tokens[k - 1] if k > 0 else None
        in_matrix = bool(stack) and stack[-1][0] in '[{'
        if (in_matrix and previous is not None and previous.ends_value() and t.space_before
                and t.line == previous.line and not lambda_closed):
            name = previous.kind == 'name'
            if t.kind == 'open' and t.text == '(':
                _, comma = group_end(tokens, k)
                if comma:
                    found.append((t.line, 'split-error',
                                  'MATLAB ends the element before "%s (" inside %s: what follows, "(...,...)", '
                                  'does not parse; write %s(...)' % (previous.text, stack[-1][0] + ' ' +
                                                                        {'[': ']', '{': '}'}[stack[-1][0]],
                                                                        previous.text)))
                elif name:
                    found.append((t.line, 'split',
                                  'MATLAB reads "%s (...)" inside %s as two elements, %s and (...); '
                                  'write %s(...)' % (previous.text, stack[-1][0] + ' ' +
                                                      {'[': ']', '{': '}'}[stack[-1][0]],
                                                      previous.text, previous.text)))
            elif t.kind == 'open' and t.text == '{' and name:
                found.append((t.line, 'split',
                              'MATLAB reads "%s {...}" inside brackets as two elements; write %s{...}'
                              % (previous.text, previous.text)))
        lambda_closed = False
        if t.kind == 'open':
            is_lambda = t.text == '(' and previous is not None and previous.kind == 'op' and previous.text == '@'
            stack.append((t.text, is_lambda))
        elif t.kind == 'close':
            if stack:
                _, was_lambda = stack.pop()
                lambda_closed = was_lambda
        # Indexing a call's result: a(1)(2), or a(1) (2) outside brackets.
        if (t.kind == 'open' and t.text == '(' and previous is not None and previous.kind == 'close'
                and previous.text == ')' and not was_lambda_close(tokens, k - 1)
                and (not t.space_before or not in_matrix) and t.line == previous.line):
            found.append((t.line, 'octave-only', "indexing a call's result"))


def was_lambda_close(tokens, k):
    """Whether the ")" at K closes the parameter list of an anonymous function."""
    level = 0
    for j in range(k, -1, -1):
        t = tokens[j]
        if t.kind == 'close':
            level += 1
        elif t.kind == 'open':
            level -= 1
            if level == 0:
                return j > 0 and tokens[j - 1].kind == 'op' and tokens[j - 1].text == '@'
    return False


def statements(tokens):
    """The tokens split into statements at newlines, commas and semicolons
    outside brackets."""
    current = []
    level = 0
    for t in tokens:
        if t.kind == 'open':
            level += 1
        elif t.kind == 'close':
            level = max(0, level - 1)
        if level == 0 and t.kind in ('newline', 'semi', 'comma'):
            if current:
                yield current
            current = []
            continue
        current.append(t)
    if current:
        yield current


def condition_text(tokens):
    text = ''.join(t.text for t in tokens)
    while text.startswith('(') and text.endswith(')'):
        inner = text[1:-1]
        depth = 0
        balanced = True
        for ch in inner:
            depth += ch == '('
            depth -= ch == ')'
            if depth < 0:
                balanced = False
                break
        if not balanced:
            break
        text = inner
    return text


def octave_test(text, flags):
    """Whether the condition TEXT holds in Octave alone (True), in MATLAB
    alone (False), or depends on more (None)."""
    for positive in [OCTAVE_TEST, OCTAVE_TEST + '>0', OCTAVE_TEST + '~=0'] + sorted(flags):
        if text == positive:
            return True
        if text in ('~' + positive, '~(' + positive + ')', positive + '==0'):
            return False
    return None


def semantic_findings(tokens, found):
    """Octave-only keywords and functions, Octave-only operators and default
    arguments, with the branches that only Octave runs exempt from the
    function rule."""
    flags = set()                   # variables assigned the Octave test
    blocks = []                     # per open block: 'octave', 'matlab' or None, and what a later else is
    functions = 0
    first = None
    for statement in statements(tokens):
        head = statement[0]
        if first is None:
            first = head
        octave_branch = any(b[0] == 'octave' for b in blocks)
        text = condition_text(statement[2:]) if len(statement) > 2 else ''
        if (len(statement) > 2 and head.kind == 'name' and statement[1].kind == 'op'
                and statement[1].text == '=' and octave_test(text, set()) is True):
            flags.add(head.text)
        if head.kind == 'name' and head.text in BLOCK_OPENERS:
            if head.text == 'function':
                functions += 1
                signature = ' '.join(t.text for t in statement)
                if re.match(r'function\b[^(]*\([^)]*=', signature):
                    found.append((head.line, 'octave-only', 'a default argument'))
            if head.text == 'if':
                holds = octave_test(condition_text(statement[1:]), flags)
                blocks.append(['octave' if holds else ('matlab' if holds is False else None),
                               'matlab' if holds else ('octave' if holds is False else None)])
            else:
                blocks.append([None, None])
        elif head.kind == 'name' and head.text in BRANCHES and blocks:
            block = blocks[-1]
            if head.text == 'elseif':
                holds = octave_test(condition_text(statement[1:]), flags)
                block[0] = 'octave' if holds else ('matlab' if holds is False else None)
                if holds:
                    block[1] = 'matlab'
            elif head.text == 'else':
                block[0] = block[1]
            else:
                block[0] = None
        elif head.kind == 'name' and head.text == 'end' and len(statement) == 1 and blocks:
            blocks.pop()
        for k, t in enumerate(statement):
            if t.kind == 'name' and t.text in OCTAVE_KEYWORDS and k == 0:
                found.append((t.line, 'octave-only', 'an Octave-only keyword (%s)' % t.text))
            if t.kind == 'op' and t.text in ('!', '!='):
                found.append((t.line, 'octave-only', '! (use ~, ~=)'))
            if t.kind == 'op' and (t.text in ('++', '--') or (len(t.text) == 2 and t.text[1] == '='
                                                               and t.text[0] in '+-*/\\^|&')):
                found.append((t.line, 'octave-only', 'an increment or assignment operator (%s)' % t.text))
            if t.kind == 'op' and t.text == '**':
                found.append((t.line, 'octave-only', '** (use ^)'))
            following = statement[k + 1] if k + 1 < len(statement) else None
            called = following is not None and (
                (following.kind == 'open' and following.text == '(')
                or (k == 0 and following.space_before and following.kind in ('name', 'string', 'number')))
            if (t.kind == 'name' and t.text in OCTAVE_FUNCTIONS and not octave_branch and called
                    and not (k > 0 and statement[k - 1].kind == 'op' and statement[k - 1].text == '.')):
                found.append((t.line, 'octave-only',
                              'an Octave-only function (%s) outside a branch only Octave runs' % t.text))
    if first is not None and not (first.kind == 'name' and first.text == 'function') and functions:
        found.append((0, 'script', 'functions in a script (Octave needs them before their use, '
                                   'MATLAB after the code)'))


def help_findings(text, found):
    """Help lines (the first block of comment lines, after the function line
    or at the top) wider than 80 columns, which help shows wrapped."""
    lines = text.split('\n')
    k = 0
    while k < len(lines) and not lines[k].strip():
        k += 1
    if k < len(lines) and re.match(r'\s*function\b', lines[k]):
        k += 1
    while k < len(lines) and lines[k].lstrip().startswith('%'):
        if len(lines[k]) > 80:
            found.append((k + 1, 'help-width', 'a help line of %d columns (at most 80)' % len(lines[k])))
        k += 1


def check(path):
    with open(path, encoding='utf-8') as f:
        text = f.read()
    found = []
    help_findings(text, found)
    tokens = tokenize(text, found, path)
    bracket_findings(tokens, found)
    semantic_findings(tokens, found)
    return sorted(set(found))


def m_files(arguments):
    paths = []
    for argument in arguments:
        if os.path.isdir(argument):
            for folder, _, names in sorted(os.walk(argument)):
                paths += [os.path.join(folder, n) for n in sorted(names) if n.endswith('.m')]
        elif os.path.isfile(argument):
            paths.append(argument)
        else:
            raise SystemExit('shared_syntax.py: %s is neither a file nor a folder (--help says how to call it)'
                             % argument)
    return paths


def lint(arguments):
    paths = m_files(arguments)
    count = 0
    for path in paths:
        for line, kind, what in check(path):
            where = '%s:%d' % (path, line) if line else path
            print('%s: [%s] %s' % (where, kind, what))
            count += 1
    print('%d files checked, %d findings' % (len(paths), count))
    if not paths:
        print('shared_syntax.py: no .m file to check')
        return 1
    return 1 if count else 0


def fixture(arguments):
    """Every line marked "% expect: KIND" gives a finding of that kind, and
    no unmarked line gives any."""
    failures = 0
    cases = 0
    for path in m_files(arguments):
        with open(path, encoding='utf-8') as f:
            lines = f.read().split('\n')
        expected = {}
        for number, line in enumerate(lines, 1):
            m = re.search(r'%\s*expect:\s*([a-z-]+(?:\s*,\s*[a-z-]+)*)\s*$', line)
            if m:
                expected[number] = set(k.strip() for k in m.group(1).split(',')) - {'nothing'}
        got = {}
        for line, kind, what in check(path):
            got.setdefault(line, set()).add(kind)
            print('%s:%d: [%s] %s' % (path, line, kind, what))
        for number in sorted(set(expected) | set(got)):
            want = expected.get(number, set())
            have = got.get(number, set())
            if number in expected:
                cases += 1
            if want != have:
                failures += 1
                print('FIXTURE MISMATCH %s:%d: expected %s, found %s: %s' % (
                    path, number, sorted(want) or 'nothing', sorted(have) or 'nothing',
                    lines[number - 1].strip() if number else ''))
    print('%d fixture cases, %d passed, %d failed' % (cases, cases - failures, failures))
    return 1 if failures or not cases else 0


def main(arguments):
    if not arguments or arguments[0] in ('-h', '--help'):
        print(__doc__.strip())
        return 0 if arguments else 2
    if arguments[0] == '--fixture':
        return fixture(arguments[1:])
    return lint(arguments)


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
