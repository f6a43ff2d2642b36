#include "helpviewer/ui/RunListPlayer.h"

#include "app/TextEncoding.h"
#include "helpviewer/PopupText.h"
#include "index/TextCodec.h"
#include "index/TextUtils.h"

#include <QApplication>
#include <QColor>
#include <QFontInfo>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>
#include <optional>

namespace tamblin {

namespace {

constexpr double kTwipsPerPoint = 20.0;

QColor ToColor(uint32_t rgb) {
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}

// The twips that size 2 stands for when the pop-ups follow the desktop's font size: that
// size's own, or more on a desktop whose font is larger. Sizes scale by desktop / 170.
// Never less than the renderer's own sizes, which were made for a screen of their day.
double SizeTwoTwips(const TextDefaults& defaults) {
    double own = FontSizeToTwips(2);
    if (!defaults.desktopFontSize) {
        return own;
    }
    QFont font = QApplication::font();
    // A desktop font given in pixels has no point size of its own.
    double desktop = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    return std::max(own, desktop * kTwipsPerPoint);
}

double PointSize(int twips, double sizeTwoTwips) {
    return twips * sizeTwoTwips / FontSizeToTwips(2) / kTwipsPerPoint;
}

QTextCharFormat ToQtFormat(const CharFormat& format, double sizeTwoTwips) {
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
        out.setFontPointSize(PointSize(format.heightTwips, sizeTwoTwips));
    }
    return out;
}

void ApplyFormat(QTextEdit& edit, const CharFormat& format, double sizeTwoTwips, int start) {
    QTextCursor range(edit.document());
    range.setPosition(start);
    range.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    if (range.hasSelection()) {
        range.mergeCharFormat(ToQtFormat(format, sizeTwoTwips));
    }
}

} // namespace

QString DecodePageText(std::string_view bytes) {
    if (IsValidUtf8(bytes, Utf8Rule::Shape)) {
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    std::string utf8 = Windows1252ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QTextCharFormat DefaultCharFormat(const TextDefaults& defaults) {
    QTextCharFormat format;
    format.setFontFamilies({DecodePageText(defaults.face)});
    format.setFontPointSize(
        PointSize(FontSizeToTwips(defaults.baseFontSize), SizeTwoTwips(defaults)));
    format.setForeground(ToColor(defaults.textColor));
    return format;
}

void PlayRunList(QTextEdit& edit, const RunList& runs, const TextDefaults& defaults) {
    QTextCharFormat base = DefaultCharFormat(defaults);
    double sizeTwoTwips = SizeTwoTwips(defaults);
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
            ApplyFormat(edit, *pending, sizeTwoTwips, pendingStart);
        }
        pending = run.format;
        pendingStart = cursor.position();
    }
    if (pending) {
        ApplyFormat(edit, *pending, sizeTwoTwips, pendingStart);
    }
    cursor.setPosition(0);
    edit.setTextCursor(cursor);
}

} // namespace tamblin
