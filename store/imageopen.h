#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace klavoro {

class Shell;

// Starts a program with arguments, detached. True when it started.
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
bool startDetachedProgram(const QString& program, const QStringList& arguments);

// Opens a step image in the image editor `editorPath` (quotes allowed, a
// relative path counts from the capture base folder, a bare name is looked up in
// PATH), or with the desktop's default program when `editorPath` is empty.
// False when the image is missing or nothing could be started; the reason is
// written to log.txt.
bool openImageInEditor(const QString& imagePath, const QString& editorPath, Shell& shell,
                       const ProgramStarter& start = startDetachedProgram);

} // namespace klavoro
