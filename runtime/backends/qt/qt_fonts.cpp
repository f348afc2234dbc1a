// The faces the forms name, replaced by installed faces of the same design; and the characters of a
// table box each kept as many half-width cells wide as they have bytes.
#include "runtime/backends/qt/qt_fonts.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "runtime/backends/qt/qt_text.h"

namespace rt::qt {
namespace {

QString U8(const char8_t* s) { return QString::fromUtf8(reinterpret_cast<const char*>(s)); }

const QString kGothic = QStringLiteral("IPAGothic");
const QString kPGothic = QStringLiteral("IPAPGothic");
const QString kMincho = QStringLiteral("IPAMincho");
const QString kPMincho = QStringLiteral("IPAPMincho");

// Face names are compared as a user reads them: full-width and half-width letters, letter case
// and blanks do not matter ("ＭＳ Ｐゴシック" and "MS Pゴシック" are one face).
QString FaceKey(const QString& face) {
    QString key = face.normalized(QString::NormalizationForm_KC).toLower();
    key.remove(QChar(u' '));
    return key;
}

QString Substitute(const QString& face) {
    static const struct {
        const char8_t* face;
        const QString* family;
    } kFaces[] = {
        {u8"ＭＳ Ｐゴシック", &kPGothic},
        {u8"ＭＳ ゴシック", &kGothic},
        {u8"ＭＳ 明朝", &kMincho},
        {u8"ＭＳ Ｐ明朝", &kPMincho},
        // The original's fixed-pitch system face; IPAGothic is fixed-pitch and has the kana.
        {u8"FixedSys", &kGothic},
    };
    // The forms spell their faces as here; another spelling is normalised first (which loads
    // Unicode's tables).
    for (const auto& known : kFaces)
        if (face == U8(known.face)) return *known.family;
    const QString key = FaceKey(face);
    for (const auto& known : kFaces)
        if (key == FaceKey(U8(known.face))) return *known.family;
    return face;
}

}  // namespace

QString FamilyFor(const std::string& sjisFace, FontUse use) {
    // Every control names its face, and the forms use a handful: each is converted once.
    static std::vector<std::pair<std::string, QString>> faces;
    auto it = std::find_if(faces.begin(), faces.end(), [&](const auto& f) { return f.first == sjisFace; });
    if (it == faces.end()) it = faces.insert(faces.end(), {sjisFace, Substitute(PathFromSjis(sjisFace))});
    const QString family = it->second;
    if (use == FontUse::Normal) return family;
    if (family == kMincho || family == kPMincho) return kMincho;
    return kGothic;
}

QFont MakeFont(const FontSpec& params, FontUse use) {
    QFont font;
    const QString family = FamilyFor(params.face, use);
    if (!family.isEmpty()) font.setFamilies({family, kPGothic});
    if (params.size > 0) {
        if (params.unit == FontUnit::Pixels) {
            font.setPixelSize(params.size);
        } else {
            font.setPointSize(params.size);
        }
    }
    font.setWeight(static_cast<QFont::Weight>(std::clamp(params.weight > 0 ? params.weight : 400, 1, 1000)));
    font.setItalic(params.italic);
    font.setUnderline(params.underline);
    font.setStrikeOut(params.strikeOut);
    if (use == FontUse::ByteColumns) {
        font.setStyleHint(QFont::TypeWriter);
        // Horizontal hinting rounds each advance to whole pixels, and a half-width cell of an
        // odd-sized face is half a pixel: the columns would drift apart.
        font.setHintingPreference(QFont::PreferVerticalHinting);
    }
    return font;
}

void KeepByteColumns(QPlainTextEdit* edit) {
    QTextDocument* doc = edit->document();
    const QFont font = edit->font();
    const QFontMetricsF metrics(font);
    const qreal cell = metrics.horizontalAdvance(QChar(u'0'));
    QHash<char32_t, QTextCharFormat> fixes;
    QHash<char32_t, bool> fine;
    auto fixFor = [&](char32_t c) -> const QTextCharFormat* {
        if (auto it = fine.constFind(c); it != fine.constEnd()) return nullptr;
        if (auto it = fixes.constFind(c); it != fixes.constEnd()) return &*it;
        const QString s = QString::fromUcs4(&c, 1);
        const qreal want = cell * SjisWidth(c);
        const qreal have = metrics.horizontalAdvance(s);
        if (std::abs(have - want) < 0.01) {
            fine.insert(c, true);
            return nullptr;
        }
        QTextCharFormat format;
        qreal drawn = have;
        if (have > want) {
            const int stretch = std::max(1, static_cast<int>(std::floor(100.0 * want / have)));
            format.setFontStretch(stretch);
            QFont narrow = font;
            narrow.setStretch(stretch);
            drawn = QFontMetricsF(narrow).horizontalAdvance(s);
        }
        format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        format.setFontLetterSpacing(want - drawn);
        return &*fixes.insert(c, format);
    };

    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.setCharFormat(QTextCharFormat());
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        for (int i = 0; i < text.size(); ++i) {
            char32_t c = text.at(i).unicode();
            int length = 1;
            if (text.at(i).isHighSurrogate() && i + 1 < text.size()) {
                c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
                length = 2;
            }
            if (c >= 0x20) {
                if (const QTextCharFormat* format = fixFor(c)) {
                    cursor.setPosition(block.position() + i);
                    cursor.setPosition(block.position() + i + length, QTextCursor::KeepAnchor);
                    cursor.mergeCharFormat(*format);
                }
            }
            i += length - 1;
        }
    }
    cursor.endEditBlock();
}

}  // namespace rt::qt
