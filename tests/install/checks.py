"""The install checks' reporting: each check prints PASS: or FAIL:, and the
script's exit status says whether any failed."""

failures = []


def check(condition, what):
    print(("PASS: " if condition else "FAIL: ") + what)
    if not condition:
        failures.append(what)
    return condition


def exit_status():
    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    return 0
