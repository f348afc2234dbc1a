#pragma once
// Fonts as a Japanese user of the original program saw them: its faces are replaced by the IPA
// faces of the same design (gothic or mincho, proportional or fixed-pitch).
#include <QFont>
#include <QString>

#include "runtime/backends/platform.h"

class QPlainTextEdit;

namespace rt::qt {

// ByteColumns is for the multi-line read-only boxes whose texts are tables aligned by counting
// Shift-JIS bytes: they get a fixed-pitch face whatever face the program names.
enum class FontUse { Normal, ByteColumns };

QString FamilyFor(const std::string& sjisFace, FontUse use);
QFont MakeFont(const FontSpec& params, FontUse use);

// Gives every character of the box exactly as many half-width cells as it has bytes. The IPA
// fixed-pitch faces already draw almost every character so; the exceptions (the yen sign is
// drawn full-width, a few symbols come from fallback faces) are narrowed or widened in place.
void KeepByteColumns(QPlainTextEdit* edit);

}  // namespace rt::qt
