#pragma once

#include <csignal>
#include <iosfwd>
#include <string>
#include <vector>

namespace pix {

class TByteSink;

// Where pixcsv talks to: the converted text for "-o -", the texts of --help
// and --version, messages and progress. Tests pass their own.
struct TPixCsvStreams {
    TByteSink& StandardOutput;
    std::ostream& Out;
    std::ostream& Err;
    bool ErrIsTerminal = false;
    // Set from outside (an interrupt) to stop at the next progress report,
    // leaving no output behind.
    const volatile std::sig_atomic_t* Interrupted = nullptr;
};

// The exit codes: every input converted; some input failed; the command
// line was wrong; interrupted.
enum : int { kPixCsvDone = 0, kPixCsvFailed = 1, kPixCsvUsage = 2, kPixCsvInterrupted = 130 };

// pixcsv [-o OUTPUT] [--legend FILE] [-q] INPUT.png...; arguments without
// the program name.
int RunPixCsv(const std::vector<std::string>& arguments, TPixCsvStreams& streams);

} // namespace pix
