"""The proxkit kernels, called through their C interface (ctypes), against
NumPy's vectorised equivalents on the standard workloads (fixed seeds).

Usage: python3 peers.py <path of the proxkit_cabi shared library>

Prints one table, in ms (medians of several runs):
  - call: the kernel's call as a Python user makes it, result array included;
  - alloc: making that result array alone, the caller's share: np.zeros and
    the first touch of its pages (which the kernel would otherwise pay, as
    fresh zero pages are mapped on first write);
  - kernel: call - alloc;
  - peer: the NumPy code, and peer/call;
  - max|diff|: the largest absolute difference between the two results, which
    need not be identical (NumPy adds in other orders, pairwise in its sums).
"""
import ctypes
import statistics
import sys
import time

import numpy as np

N = 10_000_000


def load_library(path):
    lib = ctypes.CDLL(path)
    vector = np.ctypeslib.ndpointer(np.float64, flags="C_CONTIGUOUS")
    matrix = np.ctypeslib.ndpointer(np.float64, flags="F_CONTIGUOUS")
    size, real, status = ctypes.c_size_t, ctypes.c_double, ctypes.c_int
    segment = [vector, size, vector, size]
    signatures = {
        "proxkit_grpnorm": segment + [vector],
        "proxkit_grpclip": segment + [vector],
        "proxkit_grpshrink": segment + [real, vector],
        "proxkit_grpsign": segment + [real, vector],
        "proxkit_pairdot": [vector, size, vector, size, size, vector, vector, size, vector],
        "proxkit_nzassign": [vector, size, vector, size],
        "proxkit_rowball": [matrix, ctypes.c_void_p, ctypes.c_void_p, matrix, ctypes.c_int32, ctypes.c_int32, real],
    }
    for name, argtypes in signatures.items():
        function = getattr(lib, name)
        function.argtypes = argtypes
        function.restype = status
    return lib


def fresh_zeros(size):
    """A result array of `size` zeros as a kernel receives it, then its pages
    touched (one write per 4 KiB)."""
    out = np.zeros(size)
    out[::512] = 0.0
    return out


def ran(status):
    if status != 0:
        raise RuntimeError("the kernel refused its arguments")


# ------------------------------------------------------------------- kernels
# Each as a Python user calls it: the result array made, then the kernel.


def kernel_call(lib, kernel, x, table, rho):
    if kernel == "grpnorm":
        out = np.zeros(1)
        ran(lib.proxkit_grpnorm(x, x.size, table, table.size, out))
        return out[0]
    out = np.zeros(x.size)
    function = getattr(lib, "proxkit_" + kernel)
    if kernel == "grpclip":
        ran(function(x, x.size, table, table.size, out))
    else:
        ran(function(x, x.size, table, table.size, rho, out))
    return out


# --------------------------------------------------------------------- peers


def segment_peer(kernel, x, norms, expand, rho):
    """The segment kernels from the segments' norms; expand(values) gives
    every element its segment's value."""
    if kernel == "grpnorm":
        return norms.sum()
    if kernel == "grpclip":
        return x / expand(np.maximum(1.0, norms))
    if kernel == "grpshrink":
        return expand(np.maximum(0.0, 1.0 - 1.0 / (norms * rho))) * x
    out = x / expand(norms)
    out[expand((10.0 * rho > norms) & (norms > -10.0 * rho))] = 0.0
    return out


def reduceat_peer(kernel, x, starts, segment_of, rho):
    """Any table of contiguous segments: starts are the segments' first
    positions, segment_of the segment of every element."""
    norms = np.sqrt(np.add.reduceat(x * x, starts))
    return segment_peer(kernel, x, norms, lambda values: values[segment_of], rho)


def reshape_peer(kernel, x, length, rho):
    """Segments of one length, one per row of a reshaped x."""
    X = x.reshape(-1, length)
    norms = np.sqrt((X * X).sum(axis=1))
    if kernel == "grpnorm":
        return norms.sum()
    column = norms[:, None]
    if kernel == "grpclip":
        Y = X / np.maximum(1.0, column)
    elif kernel == "grpshrink":
        Y = np.maximum(0.0, 1.0 - 1.0 / (column * rho)) * X
    else:
        Y = X / column
        Y[(10.0 * rho > norms) & (norms > -10.0 * rho)] = 0.0
    return Y.ravel()


def rowball_peer(X, t):
    """Each row onto the l1 ball of radius t > 0: the row's absolute values in
    descending order, the largest count k of them whose k-th value exceeds
    (its partial sum - t)/k, and the threshold (partial sum k - t)/k, 0 for a
    row inside the ball."""
    A = np.abs(X)
    ordered = np.sort(A, axis=1)[:, ::-1]
    partial = np.cumsum(ordered, axis=1)
    k = (ordered > (partial - t) / np.arange(1, X.shape[1] + 1)).sum(axis=1)
    theta = np.maximum(0.0, (partial[np.arange(X.shape[0]), k - 1] - t) / k)
    return np.sign(X) * np.maximum(A - theta[:, None], 0.0)


# -------------------------------------------------------------------- timing


def median_ms(f):
    """The median time of f() in ms over a few runs after a first, untimed one,
    and f's result; fewer runs for slow code."""
    result = f()
    start = time.perf_counter()
    result = f()
    times = [time.perf_counter() - start]
    for _ in range(max(3, min(7, int(1 / times[0]))) - 1):
        start = time.perf_counter()
        result = f()
        times.append(time.perf_counter() - start)
    return 1e3 * statistics.median(times), result


def print_rows(kernel, workload, call, alloc, peers):
    call_ms, expected = median_ms(call)
    alloc_ms, _ = median_ms(alloc)
    lead = "%-9s %-4s %9.2f %8.2f %8.2f %5.0f%%" % (
        kernel, workload, call_ms, alloc_ms, call_ms - alloc_ms, 100 * alloc_ms / call_ms)
    for name, peer in peers:
        peer_ms, got = median_ms(peer)
        difference = np.max(np.abs(np.asarray(got) - np.asarray(expected)))
        print("%s  %-28s %9.2f %8.2f %10.3g" % (lead, name, peer_ms, peer_ms / call_ms, difference), flush=True)
        lead = " " * len(lead)


# ----------------------------------------------------------------- workloads


def segment_rows(lib):
    x = np.random.default_rng(1).standard_normal(N)
    rho = {"grpnorm": None, "grpclip": None, "grpshrink": 1.0, "grpsign": 1e-6}
    for load, length in (("S1", 10), ("S2", 1000), ("S3", N)):
        table = np.arange(0, N + 1, length, dtype=np.float64)
        # Made once, as a solver would.
        starts = table[:-1].astype(np.intp)
        segment_of = np.repeat(np.arange(starts.size), length)
        for kernel in rho:
            r = rho[kernel]
            shape = 1 if kernel == "grpnorm" else N
            print_rows(kernel, load,
                       lambda: kernel_call(lib, kernel, x, table, r),
                       lambda: fresh_zeros(shape),
                       [("add.reduceat", lambda: reduceat_peer(kernel, x, starts, segment_of, r)),
                        ("reshape (equal segments)", lambda: reshape_peer(kernel, x, length, r))])


def pairdot_rows(lib):
    r, m, n, L = 20, 20_000, 20_000, 1_000_000
    rng = np.random.default_rng(2)
    # U (m-by-r) and W = V' (n-by-r), row-major: the storage of the r-by-m
    # and r-by-n column-major factors the kernel reads.
    U = rng.standard_normal((m, r))
    W = rng.standard_normal((n, r))
    rows = rng.integers(0, m, L)
    cols = rng.integers(0, n, L)
    iR = (rows + 1).astype(np.float64)
    iC = (cols + 1).astype(np.float64)

    def call():
        out = np.zeros(L)
        ran(lib.proxkit_pairdot(U.ravel(), m, W.ravel(), n, r, iR, iC, L, out))
        return out

    print_rows("pairdot", "P1", call, lambda: fresh_zeros(L),
               [("(U[iR]*W[iC]).sum(axis=1)", lambda: (U[rows] * W[cols]).sum(axis=1))])


def nzassign_rows(lib):
    # The stored values of a 1e5-by-1e5 sparse matrix with 1e7 of them (the
    # kernel touches nothing else); a NumPy user overwrites them with a copy.
    values = np.ones(N)
    v = np.random.default_rng(3).standard_normal(N)

    def call():
        ran(lib.proxkit_nzassign(values, values.size, v, v.size))
        return values

    def peer():
        values[:] = v
        return values

    print_rows("nzassign", "Z1", call, lambda: None, [("values[:] = v", peer)])


def rowball_rows(lib):
    t = 1.0
    for load, m, n, seed in (("R1", 10_000, 1_000, 4), ("R2", 100_000, 100, 5)):
        # Column-major, the layout the kernel reads.
        X = np.asfortranarray(np.random.default_rng(seed).standard_normal((m, n)))

        def call():
            P = np.zeros((m, n), order="F")
            ran(lib.proxkit_rowball(P, None, None, X, m, n, t))
            return P

        print_rows("rowball", load, call, lambda: fresh_zeros(m * n),
                   [("sort-based, across rows", lambda: rowball_peer(X, t))])


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: peers.py <proxkit_cabi shared library>")
    lib = load_library(sys.argv[1])
    print("proxkit kernels (C interface, ctypes) against NumPy %s; medians of several runs, in ms." % np.__version__)
    print("alloc: making the result array (np.zeros, pages touched); kernel: call - alloc.  max|diff|:")
    print("largest absolute difference of the results, which need not be identical (NumPy adds in other")
    print("orders).\n")
    print("%-9s %-4s %9s %8s %8s %6s  %-28s %9s %8s %10s" % (
        "kernel", "load", "call", "alloc", "kernel", "alloc%", "peer", "peer ms", "/call", "max|diff|"))
    segment_rows(lib)
    pairdot_rows(lib)
    nzassign_rows(lib)
    rowball_rows(lib)


if __name__ == "__main__":
    main()
