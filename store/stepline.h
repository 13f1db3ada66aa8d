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

// What a field may hold, whoever writes it (recording, the sentence editor,
// search and replace, the loader): a TAB would split the line and is written
// as a blank, a line end (CR LF, CR or LF) is 0x04 as in a stored sentence,
// and 0x03, the header mark of OpList.txt, is dropped.
QString storableFieldText(const QString& value);

// TAB, image name padded to 20 characters, TAB, TAB, creation number, TAB,
// message padded to half-width 100, TAB, extension, TAB, check mark; every
// field made storable first.
QString buildStepLine(int creationNumber, const QString& imageName, const QString& message,
                      const QString& extension, const QString& checkMark);

// Field k (1..6) of a line with surrounding blanks removed; missing fields are empty.
QString lineField(const QString& line, int k);

// Replaces field k with the storable value (no padding); a line without field k
// is returned unchanged.
QString withLineField(const QString& line, int k, const QString& value);

} // namespace klavoro
