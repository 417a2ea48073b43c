#pragma once
// Directories below the program's directory. Paths are narrow texts with "/"
// separators; a path's first part is the root and is taken to exist.

#include "text/narrow_text.h"

#include <filesystem>
#include <optional>

namespace zenvik {

// The file-system path of a narrow text (its UTF-8 form); nothing when the
// text is not valid code page 936.
std::optional<std::filesystem::path> fileSystemPath(const Text& path);

// True when a file can be written into the directory: the probe file
// "TEMP.TMP" (bytes 02 03 04) is written there and deleted again.
bool isDirectoryWritable(const Text& path);

// Creates every missing level of the directory named by path.
// 1: the levels were walked and the missing ones created; 0: path already
// named a directory; -1: path is empty or a level cannot be created. On 0 and
// 1 path ends in exactly one "/"; on -1 after its trailing "/" was taken off,
// path is left without it, and the directories this call created are removed
// again (deepest first, and only while empty).
int makeDirectoryPath(Text& path);

} // namespace zenvik
