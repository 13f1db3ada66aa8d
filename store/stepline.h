#pragma once

#include <QString>

namespace klavoro {

// A step line: seven TAB-separated fields.
enum StepField {
    FieldNumber = 0, // number slot: never stored meaningfully, read as the position
    FieldImageName = 1,
    FieldReserved = 2,
    FieldCreation = 3, // number of the step when the line was built
    FieldMessage = 4,
    FieldExtension = 5,
    FieldCheck = 6, // "〆" when ticked
    FieldCount = 7
};

inline const QString kCheckMark = QStringLiteral("〆");

// TAB, image name padded to 20 characters, TAB, TAB, creation number, TAB,
// message padded to half-width 100, TAB, extension, TAB, check mark.
QString buildStepLine(int creationNumber, const QString& imageName, const QString& message,
                      const QString& extension, const QString& checkMark);

// Field k (1..6) of a line with surrounding blanks removed; missing fields are empty.
QString lineField(const QString& line, int k);

// Replaces field k exactly (no padding); a line without field k is returned unchanged.
QString withLineField(const QString& line, int k, const QString& value);

} // namespace klavoro
