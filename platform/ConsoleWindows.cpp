#include "platform/Console.h"

#include "platform/Utf16.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>

namespace pix {

namespace {

volatile std::sig_atomic_t* gInterrupted = nullptr;

BOOL WINAPI Interrupt(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    *gInterrupted = 1;
    return TRUE;
}

bool IsConsole(HANDLE handle)
{
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

// Collects UTF-8 text up to each flush and hands it to the console as
// UTF-16; a character split across two writes stays whole that way.
class TConsoleBuffer : public std::streambuf {
public:
    explicit TConsoleBuffer(HANDLE console) : fConsole(console) {}

protected:
    int_type overflow(int_type character) override
    {
        if (!traits_type::eq_int_type(character, traits_type::eof()))
            fPending += traits_type::to_char_type(character);
        return traits_type::not_eof(character);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        fPending.append(text, static_cast<std::size_t>(count));
        return count;
    }
    int sync() override
    {
        const std::wstring wide = WideFromUtf8(fPending);
        fPending.clear();
        DWORD written = 0;
        return WriteConsoleW(fConsole, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) ? 0 : -1;
    }

private:
    HANDLE fConsole;
    std::string fPending;
};

} // namespace

std::ostream& StandardError()
{
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    if (!IsConsole(handle)) {
        // A file or a pipe gets the bytes as written, as on every other
        // platform: text mode would turn the CR LF inside a two-line failure
        // message into CR CR LF.
        _setmode(_fileno(stderr), _O_BINARY);
        return std::cerr;
    }
    static TConsoleBuffer buffer(handle);
    static std::ostream console(&buffer);
    console.setf(std::ios::unitbuf);
    return console;
}

bool StandardErrorIsTerminal()
{
    return IsConsole(GetStdHandle(STD_ERROR_HANDLE));
}

// The runtime's descriptor 2, which a statically linked library's stderr
// writes to as the program's does.
TStandardErrorSilenced::TStandardErrorSilenced()
{
    std::fflush(stderr);
    const int nothing = _open("NUL", _O_WRONLY);
    if (nothing < 0)
        return;
    fSaved = _dup(2);
    if (fSaved >= 0)
        _dup2(nothing, 2);
    _close(nothing);
}

TStandardErrorSilenced::~TStandardErrorSilenced()
{
    if (fSaved < 0)
        return;
    std::fflush(stderr);
    _dup2(fSaved, 2);
    _close(fSaved);
}

void CatchInterrupts(volatile std::sig_atomic_t& interrupted)
{
    gInterrupted = &interrupted;
    SetConsoleCtrlHandler(Interrupt, TRUE);
}

} // namespace pix
