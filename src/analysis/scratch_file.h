// The analysis files (structure and loads input, the result file) are rewritten before and
// after every analysis of a design, thousands of times in a batch. Nobody keeps them: they
// are overwritten in place, without the temporary file, flush and rename that guard the
// user's job and notes files.
#pragma once

#include <string>
#include <string_view>

namespace tavro::analysis {

// Overwrites `path` (created when missing) with exactly `bytes`: written from the start,
// then cut to the new length. Returns 0 or a file error number (as the atomic writer). A
// failed write may leave the old file partly overwritten; the caller reports the error and
// the next analysis writes the file whole again.
int WriteScratchFile(const std::string& path, std::string_view bytes);

}  // namespace tavro::analysis
