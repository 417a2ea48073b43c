#include "app/server_address_file.h"

#include "temp_dir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace zenvik {
namespace {

namespace fs = std::filesystem;

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ServerAddressFile, HoldsExactlyTheBytesAndNothingBeside) {
    test::TempDir dir;
    std::ofstream(dir.path() / "server.ini") << "an.older.and.longer.address:8080/path";
    const Text address = text::narrow("发货.example:81");

    ASSERT_TRUE(writeServerAddress(dir.base(), address));
    EXPECT_EQ(fileBytes(dir.path() / "server.ini"), address);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    EXPECT_EQ(readServerAddress(dir.base()), address);
}

TEST(ServerAddressFile, ReadsUpToTheFirstZeroByte) {
    test::TempDir dir;
    std::ofstream(dir.path() / "server.ini", std::ios::binary) << std::string("abc\0more", 8);
    EXPECT_EQ(readServerAddress(dir.base()), "abc");
}

TEST(ServerAddressFile, MissingFileReadsEmpty) {
    test::TempDir dir;
    EXPECT_EQ(readServerAddress(dir.base()), "");
}

TEST(ServerAddressFile, WriteIntoMissingDirectoryFailsAndCreatesNothing) {
    test::TempDir dir;
    EXPECT_FALSE(writeServerAddress(dir.base() + "missing/", "abc"));
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

} // namespace
} // namespace zenvik
