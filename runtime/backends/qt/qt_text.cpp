// Shift-JIS texts to Qt's strings and back: the yen sign, line ends, characters code page 932
// cannot hold, file paths that must convert exactly, and byte offsets against string indexes.
#include "runtime/backends/qt/qt_text.h"

#include <QList>

#include "runtime/values/encoding.h"

namespace rt::qt {
namespace {

constexpr char16_t kYen = 0x00A5;

std::string Utf8Of(const QString& s) {
    const QByteArray bytes = s.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Converts what can be converted and puts '?' for each character that cannot.
std::string ToSjisLossy(const QString& text) {
    std::string out;
    const QList<uint> codePoints = text.toUcs4();
    std::u32string run;
    auto flush = [&] {
        if (run.empty()) return;
        const auto bytes = Utf8ToSjis(Utf8Of(QString::fromUcs4(run.data(), static_cast<qsizetype>(run.size()))));
        out += bytes.value_or(std::string());
        run.clear();
    };
    for (uint c : codePoints) {
        if (SjisRepresentable(c)) {
            run.push_back(c);
        } else {
            flush();
            out += '?';
        }
    }
    flush();
    return out;
}

}  // namespace

QString FromSjis(std::string_view sjis, LineEnds ends) {
    // The program's texts end at their first NUL, as the window system's did.
    if (const size_t nul = sjis.find('\0'); nul != std::string_view::npos) sjis = sjis.substr(0, nul);
    // A cut character's lone lead byte is one half-width "?" in the control's own font: the
    // window system's replacement mark comes from another font, with another height and width.
    const std::string utf8 = SjisToUtf8Shown(sjis);
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (ends == LineEnds::CrLf) text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string ToSjis(const QString& text, LineEnds ends) {
    QString t = text;
    t.replace(QChar(kYen), QChar(u'\\'));
    if (ends == LineEnds::CrLf) {
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        t.replace(QChar(u'\n'), QStringLiteral("\r\n"));
    }
    if (auto exact = Utf8ToSjis(Utf8Of(t))) return *exact;
    return ToSjisLossy(t);
}

std::optional<std::string> PathToSjis(const QString& path) {
    auto sjis = Utf8ToSjis(Utf8Of(path));
    if (!sjis) return std::nullopt;
    // iconv maps a few characters one way only (U+00A5 and U+005C both become 0x5C); such a
    // name would come back as another file's name.
    if (PathFromSjis(*sjis) != path) return std::nullopt;
    return sjis;
}

QString PathFromSjis(std::string_view sjis) {
    const std::string utf8 = SjisToUtf8Lossy(sjis);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

int SjisWidth(char32_t c) {
    if (c < 0x80 || c == kYen || c == 0x203E) return 1;       // ASCII, yen sign, overline (0x7E)
    if (c >= 0xFF61 && c <= 0xFF9F) return 1;                // half-width katakana
    if (c > 0xFFFF) return 1;                                // never in code page 932: '?'
    return 2;
}

bool SjisRepresentable(char32_t c) {
    if (c < 0x80) return true;
    const QString s = QString::fromUcs4(&c, 1);
    return Utf8ToSjis(Utf8Of(s)).has_value();
}

int SjisOffsetOf(const QString& text, int index, LineEnds ends) {
    int bytes = 0;
    const int end = std::min<int>(index, static_cast<int>(text.size()));
    for (int i = 0; i < end; ++i) {
        const QChar ch = text.at(i);
        if (ch.isHighSurrogate() && i + 1 < end) {
            ++i;
            bytes += 1;
        } else if (ch == u'\n' && ends == LineEnds::CrLf) {
            bytes += 2;
        } else {
            bytes += SjisWidth(ch.unicode());
        }
    }
    return bytes;
}

int IndexOfSjisOffset(const QString& text, int byteOffset, LineEnds ends) {
    int bytes = 0;
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n && bytes < byteOffset) {
        const QChar ch = text.at(i);
        int step = 1;
        int width;
        if (ch.isHighSurrogate() && i + 1 < n) {
            step = 2;
            width = 1;
        } else if (ch == u'\n' && ends == LineEnds::CrLf) {
            width = 2;
        } else {
            width = SjisWidth(ch.unicode());
        }
        // An offset inside a double-byte character (or between CR and LF) lands after it, as
        // the caret cannot stand in the middle of a character.
        bytes += width;
        i += step;
    }
    return i;
}

int SjisLength(const QString& text, LineEnds ends) {
    return SjisOffsetOf(text, static_cast<int>(text.size()), ends);
}

}  // namespace rt::qt
