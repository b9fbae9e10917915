#pragma once

#include <QString>
#include <functional>

#include "core/progress.h"
#include "core/toolhost.h"
#include "orientation.h"

namespace kadrano {

// The Start button of the orientation area, which the measuring loop changes.
class OrientationView {
public:
    virtual ~OrientationView() = default;
    // Btn_FileAttrib: "Start", or "Stop" while the pictures are measured.
    virtual QString startButtonText() const = 0;
    virtual void setStartButtonText(const QString& text) = 0;
};

struct OrientationTaggerOptions {
    // Status texts and event processing at most this often (milliseconds); 0 shows every
    // picture. A header read takes well under a millisecond, a repaint several.
    int eventIntervalMs = 40;
    // Measures one file; tests give their own to see the loop between two pictures.
    std::function<Orientation(const QString& path)> measure = measureOrientation;
};

// Measures every collected picture and writes the script that tags the names with their
// format.
class OrientationTagger {
public:
    explicit OrientationTagger(OrientationTaggerOptions options = {});

    // A click on Btn_FileAttrib: starts a run, or during one asks whether to stop it.
    void startClicked(ToolHost& host, OrientationView& view, const OrientationTagOptions& tags);

    bool isRunning() const { return running_; }

private:
    // Measures the files until the end or a stop; returns what was measured, in list order.
    // Stop and ESC are seen while the window's events run, before each shown picture.
    std::vector<Orientation> measureAll(ToolHost& host, const FileList& files,
                                        const OrientationTagOptions& tags);
    void run(ToolHost& host, OrientationView& view, const OrientationTagOptions& tags,
             const QString& caption);
    void endRun(ToolHost& host, OrientationView& view, const QString& caption);
    // Takes a stop request (the stop question's Yes, or ESC) if there is one.
    bool stopRequested(ToolHost& host);

    OrientationTaggerOptions options_;
    bool running_ = false;
    bool stop_ = false;
    TimeLeft timeLeft_;
};

// A click on RestoreOrigin: writes the script that takes the tags off again, checks the
// names' format, asks, and runs it.
void runRemoveOrientationTags(ToolHost& host, const OrientationTagOptions& tags);

}  // namespace kadrano
