#pragma once
// The program-wide values of the stores subsystem, in one object that tests can
// reset. Each module's values sit in their own block.

#include "platform/basic/FileSystem.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tv {

struct StoresState {
    // Line files (Mod_FileIO): the text stream being read and the one being
    // written, shared by the notes file and the report settings file, one
    // file at a time. They keep the last stream, closed, between calls.
    std::optional<vb::fso::TextStream> g_TextStream;
    std::optional<vb::fso::TextStream> g_OutTextStream;
};

StoresState& Stores();
// Back to the values before start-up.
void ResetStoresState();

} // namespace tv
