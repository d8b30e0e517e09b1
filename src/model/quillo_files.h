#pragma once
// The model's TAB file and the STI file its compiler ran with. They lie beside the model
// when the modeller keeps them there; otherwise Flatix can take them out of the auxiliary
// table file into the temporary directory. Such a copy counts only while it is no older
// than the auxiliary table file, and a stored-input file for Flatix, no older than it and
// naming the same two files, records an extraction that was tried and found nothing, so
// nobody is sent round to extract it again.

#include <string>

#include "model/model_state.h"

namespace yl {

enum class QuilloFile { kTab, kSti };

// The model with its TAB and STI file names, read from the MIN when they are not known yet
// (a session that loaded only the Sim Details).
ModelState WithQuilloNames(const ModelState& model, const std::string& min_path);

// The name a copy gets in the temporary directory: the TAB file's own name ("tab1.tab"
// when the MIN names none), "tabcond.sti" for the STI file.
std::string ExtractedQuilloName(QuilloFile what, const ModelState& model);
// The stored-input file Flatix runs with: "exttab.sti" or "extsti.sti".
std::string ExtractionStiName(QuilloFile what);
// The auxiliary table file Flatix reads, found without regard to case when it exists.
std::string AuxTableFileOf(const ModelState& model);

struct QuilloFileLookup {
  enum class State {
    kNotUsed,      // no STI file was used
    kFound,        // path is the file (or its up-to-date extracted copy)
    kMustExtract,  // not at hand, but the auxiliary table file may hold it
    kMissing,      // not at hand and no extraction can give it
  };
  State state = State::kMissing;
  std::string path;
  std::string name;  // the name the model knows it by, for an archive entry
};

QuilloFileLookup LocateQuilloFile(const ModelState& model, QuilloFile what,
                                  const std::string& temp_dir);

}  // namespace yl
