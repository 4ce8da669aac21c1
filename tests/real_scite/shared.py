"""What both real-SciTE scripts share: the rows either SciTE runs alike, and what every row
checks, whichever SciTE ran it."""
import dataclasses
import fnmatch
import re
import urllib.parse
from pathlib import Path
from typing import Any, Callable

from scite_run import Case

DDG = "https://duckduckgo.com/?q="
PY = "https://docs.python.org/3/search.html?q="
MDN = "https://developer.mozilla.org/en-US/search?q="
SO = "https://stackoverflow.com/search?q="
URLS = {"DDG": DDG, "MDN": MDN, "SO": SO}
CONFIGURATION = Path(__file__).resolve().parents[2] / "docs" / "configuration.md"
# A compiler's message in the output pane, and what is searched for: the message without the
# place it locates, percent-encoded as the companion does (all but the unreserved characters).
MESSAGE = "main.c:12:5: error: expected ';' before '}' token"
MESSAGE_SEARCH = DDG + urllib.parse.quote("error: expected ';' before '}' token", safe="")
# The guide's ticket key, and the page its lines open for it.
TICKET = "PROJ-123"
TICKET_PAGE = "https://jira.example.com/browse/PROJ-123"
# A document whose lines around the one clicked are alike, so that a click half a line off still
# lands in the word: the first line selected, byte WORD_CLICKED inside "printf" on the fifth.
CLICKED_TEXT = "unrelated words\n" + "call printf here\n" * 8
WORD_CLICKED = len("unrelated words\n" + "call printf here\n" * 4 + "call pri")


def doc_block(heading: str) -> str:
    """The first fenced block under the guide's section `heading`: the lines a user copies."""
    section = CONFIGURATION.read_text(encoding="utf-8").split(f"\n## {heading}\n", 1)[1]
    found = re.search(r"^```[a-z]*\n(.*?)^```$", section.split("\n## ", 1)[0], re.M | re.S)
    if not found:
        raise ValueError(f"{CONFIGURATION.name} has no fenced block under '## {heading}'")
    return found.group(1)


def engine_key_lines() -> tuple[str, str]:
    """The guide's lines that give one engine a key of its own, exactly as a user copies them,
    and that key as xdotool names it."""
    lines = doc_block("A key per engine")
    key = re.search(r"^command\.shortcut\.\d+\.\*=(.+)$", lines, re.M).group(1)
    return lines, key.lower()


@dataclasses.dataclass
class Row:
    case: Case
    said: str  # a line the pane must hold (a glob)
    # What reached xdg-open (under Wine, what the shell was handed); None: nothing. A list: a
    # group's addresses, in its order. Else a kind of the script's own, with a method
    # check(test, result).
    address: Any
    # What a program named in websearch.browser got, in the script's own form; falsy: no program.
    program: Any = None


def common_rows(engines: str, member: str, alone: bool) -> list[Row]:
    """The rows both SciTEs run alike. `engines`: the user's engine lines, each ended by a line
    break, defining SO and `member`, the engine that joins SO in the group picked. `alone`:
    whether SciTE finds the package's lines with nothing pasted into the user options."""
    links = doc_block("Links")
    return [
        Row(Case("selection", "Select a phrase\nsearch the web", "notes.txt", select=(16, 30)),
            f"+> Search: {DDG}search%20the%20web", f"{DDG}search%20the%20web"),
        Row(Case("word_at_caret", "call printf here", "notes.txt", select=(7, 7)),
            "+> Word at caret: printf", f"{DDG}printf"),
        # The caret inside an address: the address, without the bracket and stop around it.
        Row(Case("address_at_caret", "see (https://example.com/a?b=1). then", "notes.txt",
                 select=(12, 12)),
            "+> Address at caret: https://example.com/a?b=1", "https://example.com/a?b=1"),
        # A group picked from the list: each member's address, in the group's order.
        Row(Case("group_picked", "fetch", "notes.txt", keys=["Down", "Return"],
                 props=engines + f"websearch.group.Both=SO {member}\nwebsearch.engines=MDN Both"),
            f"+> Search: {URLS[member]}fetch", [f"{SO}fetch", f"{URLS[member]}fetch"]),
        # SciTE's user strip (websearch.ask=1): Escape opens nothing.
        Row(Case("strip_escape", "fetch", "notes.txt", props="websearch.ask=1", keys=["Escape"]),
            "+> Search cancelled: nothing opened.", None),
        # SciTE's find strip open below: it sees its own keys first, Escape among them.
        Row(Case("strip_escape_find_open", "fetch", "notes.txt", first=["ctrl+f"],
                 props="websearch.ask=1\nfind.use.strip=1", keys=["Escape"]),
            "+> Search cancelled: nothing opened.", None),
        # Alt+P in the strip copies the address instead of opening it.
        Row(Case("strip_copy", "fetch", "notes.txt", props="websearch.ask=1", keys=["alt+p"]),
            f"+> Copied: {DDG}fetch", None),
        # The guide's key for one engine searches with it; Ctrl+Shift+W afterwards searches the
        # default engine again: the key's choice counted once.
        Row(Case("engine_key", "search the web", "notes.txt", props=engine_key_lines()[0],
                 key=engine_key_lines()[1], again=["ctrl+shift+w"]),
            f"+> Search: {MDN}search%20the%20web",
            [f"{MDN}search%20the%20web", f"{DDG}search%20the%20web"]),
        # With the strip (websearch.ask=1) the key's engine is in its engine field: Alt+P, which
        # only the strip knows, copies that engine's address.
        Row(Case("engine_key_strip", "fetch", "notes.txt",
                 props=engine_key_lines()[0] + "websearch.ask=1", key=engine_key_lines()[1],
                 keys=["alt+p"]), f"+> Copied: {MDN}fetch", None),
        # The package's key for the output pane searches for the message selected there, not for
        # the document's selection, and without the place the message locates.
        Row(Case("output_selection", "unrelated words", "notes.txt", key="ctrl+shift+y",
                 output=MESSAGE), f"+> Search: {MESSAGE_SEARCH}", MESSAGE_SEARCH),
        # The same key on an empty output pane: nothing of the editor's selection is searched.
        Row(Case("output_empty", "unrelated words", "notes.txt", key="ctrl+shift+y", output=""),
            "!> Nothing to search in the output pane: *", None),
        # The guide's link lines: a ticket key selected, or with the caret inside it, opens its
        # page; a word that matches no link is searched as before.
        Row(Case("link_selected", TICKET, "notes.txt", props=links),
            f"+> Link TICKET: {TICKET}", TICKET_PAGE),
        Row(Case("link_at_caret", f"see {TICKET}. now", "notes.txt", select=(9, 9), props=links),
            f"+> Link TICKET: {TICKET}", TICKET_PAGE),
        Row(Case("link_none", "call printf here", "notes.txt", select=(7, 7), props=links),
            "+> Word at caret: printf", f"{DDG}printf"),
        # A pattern that does not compile is named, and the search happens without it.
        Row(Case("link_bad_pattern", "fetch", "notes.txt",
                 props="websearch.links=BAD\nwebsearch.link.BAD=(\n"
                       "websearch.link.BAD.url=https://example.com/{0}"),
            "!> SciTE property websearch.link.BAD is no pattern: *", f"{DDG}fetch"),
        # The right-click menu's item, with the package's lines alone: on a word that is not
        # selected it searches that word; on an output pane's error line (not its caret's) its
        # message.
        Row(Case("menu_editor_word", CLICKED_TEXT, "notes.txt", select=(0, 9), paste=not alone,
                 menu=("editor", WORD_CLICKED)), "+> Word at caret: printf", f"{DDG}printf"),
        Row(Case("menu_output_line", "unrelated words", "notes.txt", paste=not alone,
                 output=f"make: Entering directory '/src'\n{MESSAGE}",
                 menu=("output", len("make: Entering directory '/src'\nmain.c:12:5: err"))),
            f"+> Search: {MESSAGE_SEARCH}", MESSAGE_SEARCH),
    ]


def kept_history() -> Row:
    """Where SciTE keeps its find strings on disk, the searches are kept there too. The last row
    of either table: no row before it keeps anything on disk."""
    return Row(Case("kept_history", "kept search", "notes.txt",
                    props="save.find=1\nsave.recent=1"),
               f"+> Search: {DDG}kept%20search", f"{DDG}kept%20search")


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


def check_rows(test, rows: list[Row], results: dict, check_more: Callable[[Row, Any], None]):
    """Each row under a subTest of its name: the run (check_run), what reached xdg-open
    (check_opened), then the script's own checks, check_more(row, result)."""
    for row in rows:
        with test.subTest(row.case.name):
            result = results[row.case.name]
            check_run(test, result, row.said)
            check_opened(test, result, row.address)
            check_more(row, result)


def check_opened(test, result, address):
    """What reached xdg-open: nothing (None), one address, or a group's addresses (a list). Each
    of a group's addresses reaches xdg-open on its own (the GTK SciTE's xdg-opens run side by
    side; under Wine each goes through a winebrowser of its own, which may overtake the one
    before), so they may record in any order: the order shows in the pane, as they were
    started. Any other kind of address is a script's own and checks itself."""
    if isinstance(address, list):
        test.assertEqual(sorted(result.opened), sorted(address))
        searches = [line.removeprefix("+> Search: ") for line in result.pane.splitlines()
                    if line.startswith("+> Search: ")]
        test.assertEqual(searches, address)
    elif address is None or isinstance(address, str):
        test.assertEqual(result.opened, [address] if address else [])
    else:
        address.check(test, result)
