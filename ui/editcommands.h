#pragma once

#include <functional>

namespace klavoro {

class frmKlavoro;

// Deletes every step of the list with its files, without asking (a new
// recording over the old one), and empties the sentence boxes, the step
// number, the image and the key box. True when every step went; otherwise the
// user was told which files could not be deleted and their steps stay.
bool deleteAllStepsAndFiles(frmKlavoro& window);

// Where the number the next recorded step continues from goes after a
// deletion; the recording family sets it.
void setRecordingStepNumberSink(frmKlavoro& window, std::function<void(int)> sink);

} // namespace klavoro
