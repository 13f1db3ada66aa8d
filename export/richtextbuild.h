#pragma once

namespace klavoro {

class ExportHost;
class StepDocument;
struct Settings;

// Fills an empty document with the steps: per step its number text and
// sentence (one paragraph per stored line), an empty paragraph, the picture
// (at most `disp img max width` wide) and `paragraph` line breaks. Text files
// and missing files give the heading without a picture. The build is not
// undoable. Returns the number of pictures placed.
int buildRichText(StepDocument& document, ExportHost& host, const Settings& settings);

} // namespace klavoro

namespace klavoro {

class Dialogs;

inline constexpr int kRichTextLargeList = 999;

// The checks of the rich-text command before its window opens: an empty list
// is refused, a list of more than 999 steps needs the user's consent.
bool mayBuildRichText(int stepCount, Dialogs& dialogs);

} // namespace klavoro
