#pragma once

#include <QByteArray>
#include <QString>

namespace klavoro {

enum class CodePage { ShiftJis, EucJp };

// The system's converter for one Japanese code page: iconv on POSIX systems,
// the code page functions of Windows there (932 and 20932), so that both
// platforms read and write the same bytes. Nothing is substituted silently.
class CodePageConverter {
public:
    explicit CodePageConverter(CodePage page);
    ~CodePageConverter();
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;

    // False when the system has no converter for the code page.
    bool isValid() const;
    // One character's bytes as one UTF-16 unit; 0 when they are not exactly one.
    char16_t decodeOne(const char* bytes, int length);
    // The code page's bytes for one BMP character; empty when it has none.
    QByteArray encodeOne(char16_t c);
    // The whole text; a byte that starts no character becomes `replacement`
    // and clears *exact.
    QString decodeAll(const QByteArray& bytes, char16_t replacement, bool* exact);

private:
    CodePage m_page;
    void* m_decoder = nullptr;
    void* m_encoder = nullptr;
};

} // namespace klavoro
