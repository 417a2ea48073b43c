#pragma once
// A fresh directory below the system's temporary directory, removed with
// everything in it when the test ends.

#include "text/narrow_text.h"

#include <filesystem>
#include <string>

namespace zenvik::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The directory as a narrow text ending in "/", as the program's
    // directory is given.
    Text base() const { return path_.string() + "/"; }

private:
    std::filesystem::path path_;
};

} // namespace zenvik::test
