#pragma once

#include "store/startoptions.h"

namespace klavoro {

// The start options that change how recording behaves.
struct RecordingOptions {
    bool autoSave = false;  // every capture is saved, whatever the settings dialog says
    bool sound = false;     // sounds play as with `capture sound` 1
    bool mouse = false;     // the pointer is drawn as with `mouse cursor` 1
    bool clipboard = false; // every capture goes to the clipboard
    bool debug = false;     // no hot keys; diagnostics
    bool tasktray = false;  // the main window goes into the notification area
    bool noVisible = false; // the main window stays hidden
    QString newOrAppend;    // answers the start question: "new" or "append"

    static RecordingOptions from(const StartOptions& s) {
        RecordingOptions o;
        o.autoSave = s.autoSave;
        o.sound = s.sound;
        o.mouse = s.mouse;
        o.clipboard = s.clipboard;
        o.debug = s.debug;
        o.tasktray = s.tasktray;
        o.noVisible = s.noVisible;
        o.newOrAppend = s.newOrAppend;
        return o;
    }
};

} // namespace klavoro
