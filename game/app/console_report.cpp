#include "game/app/console_report.h"

#include <iostream>

namespace vo {

void ReportToStandardError(std::string const& text) {
    std::cout << std::flush;
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    std::cerr << "quorvane: " << line << std::endl;
}

}  // namespace vo
