#pragma once
// A folder of fixture files for one test, removed afterwards. Under Wine its paths are Windows
// paths, as the program sees them.
#include "tests/support/temp_folder.h"
#include "wav_builder.h"

namespace wavtest {

class TempFolder : public testsupport::TempFolder {
 public:
  TempFolder() : testsupport::TempFolder("wave") {}
};

}  // namespace wavtest
