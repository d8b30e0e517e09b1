#pragma once

#include <string>

namespace yl {

std::string VersionText();

}  // namespace yl
