#include "app/directory_paths.h"

#include <fstream>
#include <system_error>
#include <vector>

namespace zenvik {

namespace fs = std::filesystem;

std::optional<fs::path> fileSystemPath(const Text& path) {
    std::optional<std::string> utf8 = text::toUtf8(path);
    if (!utf8) return std::nullopt;
    return fs::path(*utf8);
}

namespace {

// Only an entry that is a directory counts; a file of that name does not.
bool namesDirectory(const Text& path) {
    std::optional<fs::path> p = fileSystemPath(path);
    std::error_code ec;
    return p && fs::is_directory(*p, ec);
}

void appendSeparator(Text& path) {
    if (path.empty() || path.back() != '/') path += '/';
}

// Every piece that ends at a "/" is a part, an empty one too; the piece after
// the last "/" only when it is not empty. Searching by whole characters keeps
// the second byte of a two-byte character from being taken for a "/".
std::vector<Text> splitPath(const Text& path) {
    std::vector<Text> parts;
    long from = 1;
    for (long at = text::find(path, "/", from); at > 0; at = text::find(path, "/", from)) {
        parts.push_back(path.substr(static_cast<std::size_t>(from - 1),
                                    static_cast<std::size_t>(at - from)));
        from = at + 1;
    }
    if (static_cast<std::size_t>(from - 1) < path.size())
        parts.push_back(path.substr(static_cast<std::size_t>(from - 1)));
    return parts;
}

// Creates the one directory; false when it could not be made and is not there.
bool createLevel(const Text& path, bool& created) {
    std::optional<fs::path> p = fileSystemPath(path);
    if (!p) return false;
    std::error_code ec;
    created = fs::create_directory(*p, ec);
    if (ec) return false;
    return created || namesDirectory(path);
}

// Only what this call made goes, deepest first; a directory that someone
// filled meanwhile is not empty and therefore stays with its contents.
void removeCreated(const std::vector<Text>& created) {
    for (auto it = created.rbegin(); it != created.rend(); ++it) {
        if (std::optional<fs::path> p = fileSystemPath(*it)) {
            std::error_code ec;
            fs::remove(*p, ec);
        }
    }
}

} // namespace

bool isDirectoryWritable(const Text& path) {
    if (text::trimAsciiSpaces(path).empty()) return false;
    std::optional<fs::path> probe = fileSystemPath(path + "/TEMP.TMP");
    if (!probe) return false;
    {
        std::ofstream out(*probe, std::ios::binary | std::ios::trunc);
        if (out) out.write("\x02\x03\x04", 3);
    }
    std::error_code ec;
    bool written = fs::exists(*probe, ec);
    fs::remove(*probe, ec);
    return written;
}

int makeDirectoryPath(Text& path) {
    if (text::trimAsciiSpaces(path).empty()) return -1;
    if (path.back() == '/') path.pop_back();
    if (path.empty()) return -1;
    if (namesDirectory(path)) {
        appendSeparator(path);
        return 0;
    }

    std::vector<Text> parts = splitPath(path);
    Text current = parts.front();  // the root, never created
    std::vector<Text> created;
    // Cleaning up starts only below a level that was found existing: a first
    // level made right below the root stays, as it always has.
    bool belowExistingLevel = false;
    for (std::size_t k = 1; k < parts.size(); ++k) {
        current += "/" + parts[k];
        if (namesDirectory(current)) {
            belowExistingLevel = true;
            continue;
        }
        bool made = false;
        if (!createLevel(current, made)) {
            if (belowExistingLevel) removeCreated(created);
            return -1;
        }
        if (made) created.push_back(current);
    }
    appendSeparator(path);
    return 1;
}

} // namespace zenvik
