#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace pix {

class TPNGGraphic;

// A pass shows its progress once it has taken this long, on a bar of this
// many steps.
inline constexpr int kProgressDelayMs = 500;
inline constexpr int kProgressSteps = 1000;

// The progress of one long pass as a front-end shows it: a window with a
// cancel button that appears once the pass has taken kProgressDelayMs,
// modal so that no other action can start meanwhile.
class TPassProgress {
public:
    virtual ~TPassProgress() = default;
    // False once the user has cancelled.
    virtual bool Report(int64_t donePixels, int64_t totalPixels) = 0;
};

// What a window supplies to the load and export flows. Names are UTF-8.
class TWindowFrontEnd {
public:
    virtual ~TWindowFrontEnd() = default;

    // The open dialog, modal; it starts at the name chosen last. The chosen
    // full name, or nothing when the user cancelled.
    virtual std::optional<std::string> RunOpenDialog() = 0;
    // The save dialog, modal, starting in folder (the platform's choice when
    // empty) with fileName proposed.
    virtual std::optional<std::string> RunSaveDialog(const std::string& folder, const std::string& fileName) = 0;
    virtual std::unique_ptr<TPassProgress> ShowProgress(const std::string& label) = 0;
    // The picture the preview shows, which repaints on its own changes.
    virtual TPNGGraphic& WorkBitmap() = 0;
};

// The load button: a new image object, the open dialog, an empty colour
// table, then the file read and drawn into the work bitmap. A failure ends
// the flow and propagates to the error box.
void RunLoadFlow(TWindowFrontEnd& frontEnd);

// The save button: number the colours of the work bitmap, propose the
// derived name, write the table. The chosen file is replaced only once the
// whole table is written; a cancel writes nothing.
void RunExportFlow(TWindowFrontEnd& frontEnd);

} // namespace pix
