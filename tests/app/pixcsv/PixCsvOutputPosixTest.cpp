#include "tests/app/pixcsv/PixCsvFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace pix::testing {
namespace {

namespace fs = std::filesystem;

TEST_F(PixCsvTest, OutputFailuresCarryTheirCodesMessagesAndKeepTheTarget)
{
    WriteFile(fFolder / "locked.csv", "previous");
    chmod((fFolder / "locked.csv").c_str(), 0444);
    struct Case {
        std::string output;
        std::string message;
    };
    for (const Case& c : {Case{In("locked.csv"), "File access denied."},
                          Case{In("no/such/folder.csv"), "Invalid filename."}, Case{"/dev/full", "I/O error 112."}}) {
        EXPECT_EQ(Run({"-o", c.output, In("example.png")}), kPixCsvFailed) << c.output;
        EXPECT_EQ(fErr.str(), "pixcsv: " + In("example.png") + ": " + c.message + "\n");
    }
    EXPECT_EQ(ReadFile(fFolder / "locked.csv"), "previous");
    EXPECT_EQ(std::distance(fs::directory_iterator(fFolder), fs::directory_iterator()), 2); // no leftovers
}

} // namespace
} // namespace pix::testing
