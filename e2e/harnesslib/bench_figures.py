"""The figures of a benchmark that alternates a program's runs with an empty program's and a
floor program's: medians per size, the program's own work (its run less the empty program's),
whole and per unit, and its own work against the floor's own work."""
import statistics

WALL, PROCESS, SERVER = 0, 1, 2


def size_figures(rounds, scale):
    """rounds: [(run, empty, floor)], each (wall, process CPU, server CPU) seconds. Medians of
    each measure, the own work in wall time and in CPU (process + server, summed per run before
    the median, so one run's figures stay together), the own work per unit of size, and the
    run's own CPU over the floor's own CPU: each less the empty program's run of its round, the
    median of the rounds' ratios (infinite where the floor did no more than the empty program)."""
    def median(side, pick):
        return statistics.median(pick(one_round[side]) for one_round in rounds)
    both = lambda t: t[PROCESS] + t[SERVER]

    def own_to_floor(one_round):
        run, empty, floor = (both(t) for t in one_round)
        return (run - empty) / (floor - empty) if floor > empty else float("inf")
    out = {}
    for side, name in ((0, "run"), (1, "empty"), (2, "floor")):
        for measure, index in (("wall", WALL), ("process", PROCESS), ("server", SERVER)):
            out[name + "_" + measure] = median(side, lambda t, i=index: t[i])
        out[name + "_cpu"] = median(side, both)
    out["own_wall"] = out["run_wall"] - out["empty_wall"]
    out["own_cpu"] = out["run_cpu"] - out["empty_cpu"]
    out["own_process"] = out["run_process"] - out["empty_process"]
    for what in ("wall", "cpu", "process"):
        out["own_%s_per_unit" % what] = out["own_" + what] / scale
    out["floor_own_cpu"] = out["floor_cpu"] - out["empty_cpu"]
    out["own_to_floor"] = statistics.median(own_to_floor(r) for r in rounds)
    return out


COLUMNS = (("run_wall", "run wall"), ("run_process", "run CPU"), ("run_server", "run server"),
           ("empty_wall", "empty wall"), ("empty_process", "empty CPU"),
           ("empty_server", "empty server"), ("own_wall", "own wall"),
           ("own_cpu", "own CPU+server"), ("own_wall_per_unit", "own wall /1x"),
           ("own_cpu_per_unit", "own CPU+server /1x"), ("own_process_per_unit", "own CPU /1x"),
           ("floor_own_cpu", "floor own CPU+server"), ("own_to_floor", "own / floor own"))


def own_work_table(results):
    """A Markdown table, one row per size, of {scale: rounds}."""
    lines = ["| Size | " + " | ".join(title for _, title in COLUMNS) + " |",
             "|---" * (len(COLUMNS) + 1) + "|"]
    for scale in sorted(results):
        figures = size_figures(results[scale], scale)
        lines.append("| %dx | " % scale + " | ".join("%.3f" % figures[key] for key, _ in COLUMNS)
                     + " |")
    return "\n".join(lines)
