#!/usr/bin/python3
"""Which functions of the page's module Asyncify must instrument, and a check
that it did.

A handler waits for a dialog of the page through Asyncify: every function
that can be on the stack when a dialog's import is called must be
instrumented, and no other needs to be. Asyncify's own analysis takes every
indirect call, and every call through a JavaScript invoke_ thunk (which C++
exceptions put around most calls), for one that may wait, so it instruments
two thirds of the module and more than doubles its size. This follows those
calls instead: a thunk or an indirect call whose target is a constant reaches
that function only; one whose target is computed reaches every function of
the table with its signature.

  asyncify_list.py list PROBE.wasm PROBE.js LIST
      PROBE is the module linked with nothing instrumented and with its
      function names (--profiling-funcs), PROBE.js its glue. Writes the
      functions that cannot wait, for -sASYNCIFY_REMOVE=[@LIST].
  asyncify_list.py check PROBE.wasm PROBE.js MODULE.wasm OUT.wasm
      MODULE is the same link with that list and with its names. Fails
      unless every function that may wait is instrumented in it (a name
      Asyncify matched too widely would leave a handler that cannot wait),
      then writes MODULE without its names to OUT.
"""
import re
import sys

I32, I64, F32, F64 = 0x7F, 0x7E, 0x7D, 0x7C
LETTERS = {"v": None, "i": I32, "j": I64, "f": F32, "d": F64}


class Reader:
    def __init__(self, data, at=0):
        self.data, self.at = data, at

    def byte(self):
        self.at += 1
        return self.data[self.at - 1]

    def leb(self):
        """A LEB128 number's bits, how many, and its last byte."""
        result = shift = 0
        while True:
            b = self.byte()
            result |= (b & 0x7F) << shift
            shift += 7
            if b < 0x80:
                return result, shift, b

    def u(self):
        return self.leb()[0]

    def s(self):
        result, shift, last = self.leb()
        return result - (1 << shift) if last & 0x40 else result

    def name(self):
        n = self.u()
        self.at += n
        return self.data[self.at - n:self.at].decode("utf-8", "replace")


class Module:
    """The parts of a module the call graph needs."""

    def __init__(self, path):
        data = open(path, "rb").read()
        if data[:8] != b"\0asm\1\0\0\0":
            sys.exit("asyncify_list.py: %s is no WebAssembly module" % path)
        self.types, self.imports, self.functions, self.bodies = [], [], [], []
        self.table, self.names, self.exports = {}, {}, {}
        self.data = data
        r = Reader(data, 8)
        while r.at < len(data):
            section, size = r.byte(), r.u()
            end = r.at + size
            if section == 1:
                for _ in range(r.u()):
                    assert r.byte() == 0x60
                    params = [r.byte() for _ in range(r.u())]
                    results = [r.byte() for _ in range(r.u())]
                    self.types.append((tuple(params), tuple(results)))
            elif section == 2:
                for _ in range(r.u()):
                    module, field, kind = r.name(), r.name(), r.byte()
                    if kind == 0:
                        self.imports.append((module, field, r.u()))
                    elif kind == 1:
                        r.byte()
                        self.limits(r)
                    elif kind == 2:
                        self.limits(r)
                    elif kind == 3:
                        r.byte()
                        r.byte()
            elif section == 3:
                self.functions = [r.u() for _ in range(r.u())]
            elif section == 7:
                for _ in range(r.u()):
                    name, kind, index = r.name(), r.byte(), r.u()
                    if kind == 0:
                        self.exports[name] = index
            elif section == 9:
                self.elements(r)
            elif section == 10:
                for _ in range(r.u()):
                    length = r.u()
                    self.bodies.append((r.at, r.at + length))
                    r.at += length
            elif section == 0 and r.name() == "name":
                while r.at < end:
                    kind, length = r.byte(), r.u()
                    after = r.at + length
                    if kind == 1:
                        for _ in range(r.u()):
                            index = r.u()
                            self.names[index] = r.name()
                    r.at = after
            r.at = end

    @staticmethod
    def limits(r):
        flags = r.u()
        r.u()
        if flags & 1:
            r.u()

    def constant(self, r):
        """An offset expression: i32.const N end."""
        op = r.byte()
        if op != 0x41:
            sys.exit("asyncify_list.py: a table segment at a computed offset")
        value = r.s()
        assert r.byte() == 0x0B
        return value

    def elements(self, r):
        for _ in range(r.u()):
            flags = r.u()
            if flags not in (0, 2):
                sys.exit("asyncify_list.py: a table segment of kind %d" % flags)
            if flags == 2:
                r.u()
            offset = self.constant(r)
            if flags == 2:
                r.byte()
            for k in range(r.u()):
                self.table[offset + k] = r.u()

    def type_of(self, function):
        if function < len(self.imports):
            return self.types[self.imports[function][2]]
        return self.types[self.functions[function - len(self.imports)]]


UNKNOWN = None


def block_arity(module, r):
    """(parameters, results) of a block type."""
    first = r.data[r.at]
    if first == 0x40:
        r.at += 1
        return 0, 0
    if first in (I32, I64, F32, F64, 0x7B, 0x70, 0x6F):
        r.at += 1
        return 0, 1
    params, results = module.types[r.s()]
    return len(params), len(results)


# Numeric instructions without immediates: how many operands each takes.
UNARY = set([0x45, 0x50]) | set(range(0x67, 0x6A)) | set(range(0x79, 0x7C)) | set(range(0x8B, 0x92)) | \
    set(range(0x99, 0xA0)) | set(range(0xA7, 0xC5))
BINARY = set(range(0x46, 0x50)) | set(range(0x51, 0x67)) | set(range(0x6A, 0x79)) | set(range(0x7C, 0x8B)) | \
    set(range(0x92, 0x99)) | set(range(0xA0, 0xA7))


def calls_of(module, index, on_call, on_global_get=lambda index: None, kept_params=frozenset()):
    """Runs on_call(callee, arguments) for each call of a function, callee
    being a function index or ("indirect", type) with the target as its one
    argument, through a simulation of its operand stack that knows which
    values are constants, ("const", N), or parameters the function never
    changes, ("param", K) for K in kept_params; and on_global_get(index) for
    each global read. Returns the locals the function writes."""
    written = set()
    start, end = module.bodies[index]
    r = Reader(module.data, start)
    for _ in range(r.u()):
        r.u()
        r.byte()
    stack = []
    frames = [[0, len(module.type_of(len(module.imports) + index)[1]), False]]  # height, results, unreachable

    def pop():
        if len(stack) > frames[-1][0]:
            return stack.pop()
        if frames[-1][2]:
            return UNKNOWN
        sys.exit("asyncify_list.py: function %d misread: a value taken from an empty stack" % index)

    def pops(n):
        values = [pop() for _ in range(n)]
        values.reverse()
        return values

    def push(n, value=UNKNOWN):
        stack.extend([value] * n)

    def stop():
        del stack[frames[-1][0]:]
        frames[-1][2] = True

    while r.at < end:
        op = r.byte()
        if op in (0x02, 0x03, 0x04):
            if op == 0x04:
                pop()
            params, results = block_arity(module, r)
            values = pops(params)
            frames.append([len(stack), results, False, params])
            stack.extend(values)
        elif op == 0x05:
            del stack[frames[-1][0]:]
            frames[-1][2] = False
            push(frames[-1][3])
        elif op == 0x0B:
            height, results, unreachable = frames[-1][:3]
            # A block that ends reachable holds just its results: anything
            # else means an instruction was misread, and with it which
            # values are constants.
            if not unreachable and len(stack) != height + results:
                sys.exit("asyncify_list.py: function %d misread: %d values where a block ends with %d"
                         % (index, len(stack) - height, results))
            del stack[height:]
            frames.pop()
            if not frames:
                break
            push(results)
        elif op in (0x00, 0x0F):
            stop()
        elif op == 0x0C:
            r.u()
            stop()
        elif op == 0x0D:
            r.u()
            pop()
        elif op == 0x0E:
            for _ in range(r.u() + 1):
                r.u()
            pop()
            stop()
        elif op == 0x10:
            callee = r.u()
            params, results = module.type_of(callee)
            on_call(callee, pops(len(params)))
            push(len(results))
        elif op == 0x11:
            type_index = r.u()
            r.u()
            target = pop()
            params, results = module.types[type_index]
            pops(len(params))
            on_call(("indirect", module.types[type_index]), [target])
            push(len(results))
        elif op in (0x12, 0x13):
            sys.exit("asyncify_list.py: tail calls are not handled")
        elif op == 0x1A:
            pop()
        elif op == 0x1B:
            pops(3)
            push(1)
        elif op == 0x1C:
            for _ in range(r.u()):
                r.byte()
            pops(3)
            push(1)
        elif op == 0x20:
            local = r.u()
            push(1, ("param", local) if local in kept_params else UNKNOWN)
        elif op == 0x23:
            on_global_get(r.u())
            push(1)
        elif op == 0x21 or op == 0x24:
            local = r.u()
            if op == 0x21:
                written.add(local)
            pop()
        elif op == 0x22:
            written.add(r.u())
            pop()
            push(1)
        elif 0x28 <= op <= 0x35:
            r.u()
            r.u()
            pop()
            push(1)
        elif 0x36 <= op <= 0x3E:
            r.u()
            r.u()
            pops(2)
        elif op == 0x3F:
            r.byte()
            push(1)
        elif op == 0x40:
            r.byte()
            pop()
            push(1)
        elif op == 0x41:
            push(1, ("const", r.s()))
        elif op == 0x42:
            r.s()
            push(1)
        elif op == 0x43:
            r.at += 4
            push(1)
        elif op == 0x44:
            r.at += 8
            push(1)
        elif op in UNARY:
            pop()
            push(1)
        elif op in BINARY:
            pops(2)
            push(1)
        elif op == 0x01:
            pass
        elif op == 0xFC:
            sub = r.u()
            if sub <= 7:
                pop()
                push(1)
            elif sub == 8:
                r.u()
                r.byte()
                pops(3)
            elif sub == 9:
                r.u()
            elif sub == 10:
                r.byte()
                r.byte()
                pops(3)
            elif sub == 11:
                r.byte()
                pops(3)
            else:
                sys.exit("asyncify_list.py: instruction 0xfc %d is not handled" % sub)
        else:
            sys.exit("asyncify_list.py: instruction 0x%02x in function %d is not handled" % (op, index))
    return written


def import_names(module, glue):
    """The glue's name of each imported function: the module's own import
    names are minified, the glue maps them back."""
    text = open(glue).read()
    found = re.search(r"var asmLibraryArg\s*=\s*\{([^}]*)\}", text)
    if not found:
        sys.exit("asyncify_list.py: no import table in %s" % glue)
    by_field = dict(re.findall(r'"([^"]+)"\s*:\s*([\w$]+)', found.group(1)))
    return [by_field.get(field, field) for _, field, _ in module.imports]


def signature(letters):
    """(parameters, results) of an invoke_ thunk's target, from its letters."""
    result = LETTERS[letters[0]]
    return tuple(LETTERS[c] for c in letters[1:]), (() if result is None else (result,))


def must_wait(module, glue):
    """The defined functions that can be on the stack when a dialog waits,
    and those Asyncify's own analysis would instrument."""
    names = import_names(module, glue)
    count = len(module.imports)
    waits = {i for i, name in enumerate(names) if name.startswith("__asyncjs__")}
    if not waits:
        sys.exit("asyncify_list.py: the module imports no EM_ASYNC_JS function")
    by_type = {}
    for function in set(module.table.values()):
        by_type.setdefault(module.type_of(function), set()).add(function)
    # What each function may call: a function, ("type", signature) for any
    # of the table's with that signature, or ("param", K, signature) for
    # what its callers pass as parameter K.
    reaches, sites, callees, roots = [], {}, [], set()
    for index in range(len(module.bodies)):
        targets, direct = set(), set()
        function = count + index

        def target_of(value, type_):
            if value is not UNKNOWN and value[0] == "const" and value[1] in module.table:
                return module.table[value[1]]
            if value is not UNKNOWN and value[0] == "param":
                return ("param", value[1], type_)
            return ("type", type_)

        def on_call(callee, arguments):
            if isinstance(callee, tuple):
                targets.add(target_of(arguments[0], callee[1]))
                roots.add(function)
                return
            name = names[callee] if callee < count else ""
            thunk = re.match(r"(?:legalimport\$)?invoke_([vijfd]+)$", name)
            if thunk:
                targets.add(target_of(arguments[0] if arguments else UNKNOWN, signature(thunk.group(1))))
            if thunk or callee in waits:
                roots.add(function)
            targets.add(callee)
            direct.add(callee)
            sites.setdefault(callee, []).append((function, arguments))

        params = set(range(len(module.type_of(function)[0])))
        written = calls_of(module, index, lambda callee, arguments: None)
        calls_of(module, index, on_call, kept_params=frozenset(params - written))
        reaches.append(targets)
        callees.append(direct)
    # A parameter that is called: what the callers pass, where each passes
    # a constant or a parameter of its own; any function of the signature
    # where the function may be called from elsewhere.
    called_elsewhere = set(module.table.values()) | set(module.exports.values())

    def resolve(function, k, type_, seen):
        if function in called_elsewhere or (function, k) in seen:
            return {("type", type_)}
        seen.add((function, k))
        found = set()
        for caller, arguments in sites.get(function, []):
            value = arguments[k] if k < len(arguments) else UNKNOWN
            if value is not UNKNOWN and value[0] == "const" and value[1] in module.table:
                found.add(module.table[value[1]])
            elif value is not UNKNOWN and value[0] == "param":
                found |= resolve(caller, value[1], type_, seen)
            else:
                found.add(("type", type_))
        return found

    for index, targets in enumerate(reaches):
        for target in [t for t in targets if isinstance(t, tuple) and t[0] == "param"]:
            targets.discard(target)
            targets |= resolve(count + index, target[1], target[2], set())
    waiting = set(waits)
    changed = True
    while changed:
        changed = False
        for index, targets in enumerate(reaches):
            function = count + index
            if function in waiting:
                continue
            for target in targets:
                if isinstance(target, tuple):
                    hit = any(f in waiting for f in by_type.get(target[1], ()))
                else:
                    hit = target in waiting
                if hit:
                    waiting.add(function)
                    changed = True
                    break
    # Asyncify's own view: a function that calls through a thunk or the
    # table, or a function that calls one, may wait.
    assumed = set(roots)
    changed = True
    while changed:
        changed = False
        for index, direct in enumerate(callees):
            if count + index not in assumed and direct & assumed:
                assumed.add(count + index)
                changed = True
    return sorted(f for f in waiting if f >= count), sorted(assumed)


def balanced(name):
    depth = 0
    for c in name:
        depth += c in "(<[{"
        depth -= c in ")>]}"
        if depth < 0:
            return False
    return depth == 0


def removable(probe, chosen, assumed):
    """The names for -sASYNCIFY_REMOVE: the functions Asyncify would take
    for ones that may wait and that cannot. Asyncify's own analysis still
    runs on the rest, so a name left out only instruments a function more.
    Left out are the names Binaryen cannot read in a list (unbalanced
    brackets, quotes) and those whose '*', a wildcard there, would also
    match a function that may wait."""
    keep = {probe.names[f] for f in chosen}
    waiting_names = sorted(keep)
    names = []
    for function in assumed:
        name = probe.names.get(function)
        if not name or name in keep or not balanced(name) or "'" in name or '"' in name:
            continue
        if "*" in name:
            pattern = re.compile("^" + ".*".join(re.escape(part) for part in name.split("*")) + "$", re.S)
            if any(pattern.match(other) for other in waiting_names):
                continue
        names.append(name)
    return sorted(set(names))


def check(probe, chosen, final):
    """Fails unless every function that may wait reads Asyncify's state in
    the module, which carries its names (--profiling-funcs)."""
    by_name = {name: index for index, name in final.names.items()}
    stop = by_name.get("asyncify_stop_unwind")
    if stop is None:
        sys.exit("asyncify_list.py: the module has no asyncify_stop_unwind, or no names")
    # Asyncify's state is the global that asyncify_stop_unwind sets first.
    r = Reader(final.data, final.bodies[stop - len(final.imports)][0])
    for _ in range(r.u()):
        r.u()
        r.byte()
    if r.byte() != 0x41 or (r.s(), r.byte())[1] != 0x24:
        sys.exit("asyncify_list.py: asyncify_stop_unwind does not begin as it should")
    state = r.u()
    instrumented = set()
    for index in range(len(final.bodies)):
        reads = set()
        calls_of(final, index, lambda callee, arguments: None, reads.add)
        if state in reads:
            instrumented.add(final.names.get(len(final.imports) + index))
    missing = [probe.names[f] for f in chosen if probe.names[f] not in instrumented]
    if missing:
        sys.exit("asyncify_list.py: Asyncify left %d of the %d functions that may wait uninstrumented, such as:\n  %s"
                 % (len(missing), len(chosen), "\n  ".join(missing[:10])))
    return len(instrumented)


def without_names(path):
    """The module's bytes less its name section."""
    data = open(path, "rb").read()
    kept, r = [data[:8]], Reader(data, 8)
    while r.at < len(data):
        begin = r.at
        section, size = r.byte(), r.u()
        end = r.at + size
        if section != 0 or r.name() != "name":
            kept.append(data[begin:end])
        r.at = end
    return b"".join(kept)


def main():
    args = sys.argv[1:]
    if not (len(args) == 4 and args[0] == "list" or len(args) == 5 and args[0] == "check"):
        sys.exit(__doc__)
    probe = Module(args[1])
    if not probe.names:
        sys.exit("asyncify_list.py: %s has no function names: link it with --profiling-funcs" % args[1])
    chosen, assumed = must_wait(probe, args[2])
    if args[0] == "list":
        # Binaryen splits the list at commas, and joins again the parts of
        # a name whose brackets a comma split.
        with open(args[3], "w") as out:
            out.write(",".join(removable(probe, chosen, assumed)))
        return
    instrumented = check(probe, chosen, Module(args[3]))
    with open(args[4], "wb") as out:
        out.write(without_names(args[3]))
    print("asyncify_list.py: %d functions instrumented, the %d that may wait among them" % (instrumented, len(chosen)))


if __name__ == "__main__":
    main()
