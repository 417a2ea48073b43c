#include "app/directory_paths.h"

#include "temp_dir.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zenvik {
namespace {

namespace fs = std::filesystem;

const std::string tooLongName(300, 'x');  // no file system takes a name this long

struct MakeCase {
    const char* name;
    std::vector<std::string> dirsBefore;   // below the temporary root, UTF-8
    std::vector<std::string> filesBefore;
    std::string input;                     // "{R}" stands for the root; UTF-8
    int result;
    std::string pathAfter;
    std::vector<std::string> dirsAfter;
    std::vector<std::string> absentAfter;
};

template <class Case>
std::string caseName(const ::testing::TestParamInfo<Case>& tested) {
    return tested.param.name;
}

std::string expand(const std::string& pattern, const std::string& root) {
    std::string out = pattern;
    if (auto at = out.find("{R}"); at != std::string::npos) out.replace(at, 3, root);
    return out;
}

class MakeDirectoryPathTest : public ::testing::TestWithParam<MakeCase> {};

TEST_P(MakeDirectoryPathTest, CreatesOnlyWhatIsMissingAndCleansUpAfterItself) {
    const MakeCase& c = GetParam();
    test::TempDir dir;
    const std::string root = dir.path().string();
    for (const std::string& d : c.dirsBefore) fs::create_directories(dir.path() / d);
    for (const std::string& f : c.filesBefore) std::ofstream(dir.path() / f) << "x";

    Text path = text::narrow(expand(c.input, root));
    EXPECT_EQ(makeDirectoryPath(path), c.result);
    EXPECT_EQ(path, text::narrow(expand(c.pathAfter, root)));
    for (const std::string& d : c.dirsAfter) EXPECT_TRUE(fs::is_directory(dir.path() / d)) << d;
    for (const std::string& a : c.absentAfter) EXPECT_FALSE(fs::exists(dir.path() / a)) << a;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MakeDirectoryPathTest,
    ::testing::Values(
        MakeCase{"creates_missing_levels", {"a"}, {}, "{R}/a/b/c/", 1, "{R}/a/b/c/", {"a/b", "a/b/c"}, {}},
        MakeCase{"adds_the_trailing_slash", {"a"}, {}, "{R}/a/b", 1, "{R}/a/b/", {"a/b"}, {}},
        MakeCase{"existing_directory", {"a"}, {}, "{R}/a", 0, "{R}/a/", {"a"}, {}},
        MakeCase{"existing_directory_with_slash", {"a"}, {}, "{R}/a/", 0, "{R}/a/", {"a"}, {}},
        MakeCase{"two_byte_names_are_utf8_on_disk", {}, {}, "{R}/测试/子目录/", 1, "{R}/测试/子目录/", {"测试/子目录"}, {}},
        MakeCase{"empty", {}, {}, "", -1, "", {}, {}},
        MakeCase{"three_spaces", {}, {}, "   ", -1, "   ", {}, {}},
        MakeCase{"single_slash", {}, {}, "/", -1, "", {}, {}},
        MakeCase{"a_file_is_no_directory", {}, {"a"}, "{R}/a", -1, "{R}/a", {}, {}},
        MakeCase{"level_blocked_by_a_file", {"a"}, {"a/b"}, "{R}/a/b/c/", -1, "{R}/a/b/c", {"a"}, {"a/b/c"}},
        MakeCase{"failure_removes_the_level_it_created", {"a"}, {}, "{R}/a/b/" + tooLongName + "/", -1,
                 "{R}/a/b/" + tooLongName, {"a"}, {"a/b"}},
        MakeCase{"failure_removes_every_level_it_created", {}, {}, "{R}/x/y/" + tooLongName, -1,
                 "{R}/x/y/" + tooLongName, {}, {"x"}}),
    caseName<MakeCase>);

struct WritableCase {
    const char* name;
    std::string input;  // "{R}" stands for the root
    bool result;
};

class IsDirectoryWritableTest : public ::testing::TestWithParam<WritableCase> {};

TEST_P(IsDirectoryWritableTest, ProbesWithoutLeavingAnything) {
    const WritableCase& c = GetParam();
    test::TempDir dir;
    fs::create_directories(dir.path() / "sp");
    std::ofstream(dir.path() / "file") << "x";

    EXPECT_EQ(isDirectoryWritable(expand(c.input, dir.path().string())), c.result);
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
        left.push_back(fs::relative(entry.path(), dir.path()).string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"file", "sp"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsDirectoryWritableTest,
    ::testing::Values(WritableCase{"existing_directory", "{R}/sp", true},
                      WritableCase{"existing_directory_with_slash", "{R}/sp/", true},
                      WritableCase{"missing_directory", "{R}/missing/", false},
                      WritableCase{"a_file", "{R}/file", false},
                      WritableCase{"three_spaces", "   ", false}),
    caseName<WritableCase>);

} // namespace
} // namespace zenvik
