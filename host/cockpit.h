#pragma once
// The cockpit link as people read it: the record in the named section the airliner modules
// share, decoded.
#include <string>

namespace host {

// Opens the section by name without creating it, describes the record line by line (power, the
// seven start flags, the three unit flags, the three requests, the six announcement slots and
// the files they name) and closes it again. "no cockpit link" if no holder has the section.
std::string describe_cockpit_link();

}  // namespace host
