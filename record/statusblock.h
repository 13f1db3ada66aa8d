#pragma once

#include <QByteArray>
#include <QString>

namespace klavoro {

class SharedMemory;

// The shared status block other programs read to learn what the program is
// doing: a 32-bit zero followed by the status text in 32 Shift-JIS bytes.
constexpr int kStatusBlockSize = 36;
inline const QString kStatusBlockName = QStringLiteral("GetImage");

// The 36 bytes of a status text: left-aligned in 32 characters, padded with
// blanks, its Shift-JIS form cut at 32 bytes.
QByteArray statusRecord(const QString& text);

class StatusBlock {
public:
    // Without shared memory (null) the block never opens and publishes nothing.
    explicit StatusBlock(SharedMemory* memory) : m_memory(memory) {}

    // Opens the block of that name, or creates it zeroed when nobody has.
    // Existing contents are left as they are.
    bool open(const QString& name = kStatusBlockName);
    // False (and nothing written) when the block is not open.
    bool publish(const QString& text);
    bool close();

private:
    SharedMemory* m_memory;
};

} // namespace klavoro
