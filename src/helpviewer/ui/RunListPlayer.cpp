#include "helpviewer/ui/RunListPlayer.h"

#include "app/TextEncoding.h"
#include "helpviewer/PopupText.h"
#include "index/TextUtils.h"

#include <QColor>
#include <QTextCursor>
#include <QTextEdit>

#include <optional>

namespace tamblin {

namespace {

QColor ToColor(uint32_t rgb) {
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}

QTextCharFormat ToQtFormat(const CharFormat& format) {
    QTextCharFormat out;
    if (format.mask & kMaskBold) {
        out.setFontWeight(format.effects & kMaskBold ? QFont::Bold : QFont::Normal);
    }
    if (format.mask & kMaskItalic) {
        out.setFontItalic(format.effects & kMaskItalic);
    }
    if (format.mask & kMaskUnderline) {
        out.setFontUnderline(format.effects & kMaskUnderline);
    }
    if (format.mask & kMaskStrikeOut) {
        out.setFontStrikeOut(format.effects & kMaskStrikeOut);
    }
    if (format.mask & kMaskColor) {
        out.setForeground(ToColor(format.color));
    }
    if (format.mask & kMaskFace) {
        out.setFontFamilies({DecodePageText(format.face)});
    }
    if (format.mask & kMaskSize) {
        out.setFontPointSize(format.heightTwips / 20.0);
    }
    return out;
}

void ApplyFormat(QTextEdit& edit, const CharFormat& format, int start) {
    QTextCursor range(edit.document());
    range.setPosition(start);
    range.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    if (range.hasSelection()) {
        range.mergeCharFormat(ToQtFormat(format));
    }
}

} // namespace

QString DecodePageText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) {
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    std::string utf8 = Windows1252ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QTextCharFormat DefaultCharFormat(const TextDefaults& defaults) {
    QTextCharFormat format;
    format.setFontFamilies({DecodePageText(defaults.face)});
    format.setFontPointSize(FontSizeToTwips(defaults.baseFontSize) / 20.0);
    format.setForeground(ToColor(defaults.textColor));
    return format;
}

void PlayRunList(QTextEdit& edit, const RunList& runs, const TextDefaults& defaults) {
    QTextCharFormat base = DefaultCharFormat(defaults);
    QTextCursor cursor(edit.document());
    std::optional<CharFormat> pending;
    int pendingStart = 0;
    for (const TextRun& run : runs) {
        cursor.movePosition(QTextCursor::End);
        if (run.kind == TextRun::kText) {
            // Inserted plain, so the text never inherits the format of what precedes it.
            cursor.insertText(DecodePageText(run.text), base);
            continue;
        }
        if (pending) {
            ApplyFormat(edit, *pending, pendingStart);
        }
        pending = run.format;
        pendingStart = cursor.position();
    }
    if (pending) {
        ApplyFormat(edit, *pending, pendingStart);
    }
    cursor.setPosition(0);
    edit.setTextCursor(cursor);
}

} // namespace tamblin
