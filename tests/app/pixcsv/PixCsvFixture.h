#pragma once

#include "app/pixcsv/PixCsv.h"
#include "tests/app/ExampleTable.h"
#include "tests/colours/StringSink.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace pix::testing {

// The converter run in the test's process, on a folder of its own that
// holds the example picture.
class PixCsvTest : public TFolderTest {
protected:
    PixCsvTest()
        : TFolderTest("pix-pixcsv")
    {
    }
    void SetUp() override { WriteFile(fFolder / "example.png", ExamplePng()); }

    int Run(std::vector<std::string> arguments)
    {
        fStdout.Bytes.clear();
        fOut.str("");
        fErr.str("");
        TPixCsvStreams streams{fStdout, fOut, fErr, false, &fInterrupted};
        return RunPixCsv(arguments, streams);
    }
    std::string In(const std::string& name) const { return Utf8((fFolder / PathFromUtf8(name)).make_preferred()); }

    TStringSink fStdout;
    std::ostringstream fOut;
    std::ostringstream fErr;
    volatile std::sig_atomic_t fInterrupted = 0;
};

} // namespace pix::testing
