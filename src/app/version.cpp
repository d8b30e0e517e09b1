#include "app/version.h"

namespace yl {

std::string VersionText() {
#ifdef YL_VERSION
  return std::string("Yearloom ") + YL_VERSION;
#else
  return "Yearloom 0.1.0";
#endif
}

}  // namespace yl
