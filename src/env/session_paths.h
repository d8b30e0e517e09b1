#pragma once
// The directories one session of the program works with.

#include <string>

namespace yl {

struct SessionPaths {
  std::string program_dir;       // the executable's directory; never emptied
  std::string temp_dir;          // scratch space in use this session
  std::string default_temp_dir;  // what the directory search alone found
  std::string next_temp_dir;     // written as "TempDir" at exit
  std::string keep_dir;          // options file, last-session file, logs, run records
  std::string work_dir;          // the simulation's files
  std::string solvara_dir;       // chosen directory of the Solvara programs; "" = usual way
};

}  // namespace yl
