#pragma once

#include "platform/inputmethod.h"

namespace klavoro {

// An input-method framework for tests: the test turns it on or off as the
// user would; `available` false plays a desktop without one.
class FakeInputMethod : public InputMethod {
public:
    bool available = true;
    bool open = false;
    int setCalls = 0;

    bool isAvailable() override { return available; }
    QString frameworkName() override { return available ? QStringLiteral("fake") : QString(); }
    bool isOpen() override { return available && open; }
    void setOpen(bool value) override {
        if (!available) return;
        ++setCalls;
        open = value;
    }
};

} // namespace klavoro
