"""What every real-SciTE row checks, whichever SciTE ran it."""
import fnmatch


def check_run(test, result, said: str):
    """The run ended, the pane holds a line matching `said` (a glob) and SciTE's >Exit code: 0,
    and the launcher left no answer of its own in SciTE's extender.result."""
    if result.status != "done":
        test.fail(f"the run did not end: {result.status}")
    pane = result.pane
    test.assertTrue(any(fnmatch.fnmatchcase(line, said) for line in pane.splitlines()),
                    f"no line '{said}' in the pane:\n{pane}")
    test.assertIn(">Exit code: 0", pane, "the tool did not end with 0")
    test.assertEqual(result.result, "", "extender.result is not left empty")
