#pragma once

#include <QString>
#include <QStringList>

namespace klavoro {

// What the command line asks for before any window or file is touched.
enum class InfoRequest { None, Help, Version };

// -help, --help, -h, -version, --version in any letter case; the first one wins.
InfoRequest infoRequest(const QStringList& arguments);

// The options in Japanese and English, one block per option.
QString commandLineHelp(const QString& programName);

// "クラヴォロ (klavoro) Ver1.00".
QString versionLine();

} // namespace klavoro
