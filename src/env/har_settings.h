#pragma once
// The family's per-user setting that decides whether mostly-zero real arrays are
// written in sparse storage: key "UseSparse" in section [Solvara] of
// $XDG_CONFIG_HOME/solvara.ini (default ~/.config). Absent or unreadable means false.
// It lives here, not in harfile/, so that the Header Array code reads no settings of its
// own: the caller hands the value to the writer.

#include <string>

namespace yl {

std::string SolvaraSettingsPath();
// Read once at start-up by the program and handed to the writer in HarWriteOptions.
bool ReadUseSparse();

}  // namespace yl
