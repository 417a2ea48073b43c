#include "app/server_address_file.h"

#include "app/directory_paths.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <optional>
#include <unistd.h>

namespace zenvik {

namespace {

const char* const fileName = "server.ini";

// Writes all bytes to a fresh file and forces them to disk before the
// rename, so the rename never publishes an empty file.
bool writeWholeFile(const std::filesystem::path& path, const Text& bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) ok = false;
        else done += static_cast<std::size_t>(n);
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    return ok;
}

} // namespace

Text readServerAddress(const Text& baseDirectory) {
    std::optional<std::filesystem::path> path = fileSystemPath(baseDirectory + fileName);
    if (!path) return {};
    std::ifstream in(*path, std::ios::binary);
    if (!in) return {};
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return text::upToFirstZero(bytes);
}

bool writeServerAddress(const Text& baseDirectory, const Text& address) {
    std::optional<std::filesystem::path> path = fileSystemPath(baseDirectory + fileName);
    std::optional<std::filesystem::path> temporary =
        fileSystemPath(baseDirectory + fileName + ".tmp");
    if (!path || !temporary) return false;
    if (!writeWholeFile(*temporary, address)) {
        std::remove(temporary->c_str());
        return false;
    }
    if (std::rename(temporary->c_str(), path->c_str()) != 0) {
        std::remove(temporary->c_str());
        return false;
    }
    return true;
}

} // namespace zenvik
