// How a run ended, as the companion's process exits with it.
#pragma once

namespace companion {

// The process's exit codes, for runs by hand or from a script; SciTE does not show them.
enum class ExitCode : int {
  Opened = 0,             // the URL went to the default browser (or to the clipboard)
  Unexpected = 1,         // an error nothing here anticipated, such as running out of memory
  NothingToSearch = 2,    // the selection was empty or white space only
  BadTemplate = 3,        // the setting chosen is no usable template, or no program line
  OpenFailed = 4,         // the shell could not open the URL, or the program not start
  SystemUnavailable = 5,  // a system library or function could not be bound
  NoEngineChosen = 6,     // SciTE's list of engines closed without a pick
  InvalidText = 7,        // the selection holds bytes with no character in its encoding
  PartlyOpened = 8,       // a group's addresses: some opened, some could not be
  Cancelled = 9,          // the user closed SciTE's strip without a search
};

}  // namespace companion
