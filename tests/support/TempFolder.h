#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace pix::testing {

// The program takes and gives names as UTF-8; the library's narrow names are
// in the system's code page on Windows.
inline std::string Utf8(const std::filesystem::path& path)
{
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

inline std::filesystem::path PathFromUtf8(std::string_view name)
{
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

// A folder of the running test's own in the system's temporary folder,
// emptied on creation and removed with everything in it at the end.
class TTempFolder {
public:
    explicit TTempFolder(std::string_view prefix)
        : fPath(std::filesystem::temp_directory_path() / FolderName(prefix))
    {
        std::filesystem::remove_all(fPath);
        std::filesystem::create_directories(fPath);
    }
    ~TTempFolder()
    {
        // A test may have taken the write permission away to provoke a failure.
        std::error_code ignored;
        std::filesystem::permissions(fPath, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(fPath, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return fPath; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return fPath / name; }

private:
    // Parameterised test names hold "/", which would make nested folders
    // that outlive the test.
    static std::string FolderName(std::string_view prefix)
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        // Tests of one executable may run in parallel processes.
        static const std::string process = std::to_string(std::random_device{}());
        std::string name = std::string(prefix) + "-" + process + "-" + test->test_suite_name()
            + "." + test->name();
        for (char& c : name)
            if (c == '/')
                c = '_';
        return name;
    }

    std::filesystem::path fPath;
};

// A test with a temporary folder of its own, fFolder, made before the test
// and removed with everything in it after.
class TFolderTest : public ::testing::Test {
protected:
    explicit TFolderTest(std::string_view prefix)
        : fTemp(prefix)
        , fFolder(fTemp.Path())
    {
    }

    TTempFolder fTemp;
    std::filesystem::path fFolder;
};

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    WriteFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// The names in a folder, sorted.
inline std::vector<std::string> SortedNames(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

inline std::vector<std::string> FolderEntries(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(Utf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace pix::testing
