#pragma once

#include <QRect>

class QMessageBox;
class QFileDialog;
class QWidget;

namespace tamblin {

// Sizes and places the dialogs whose own defaults hide their content (cut columns, a cut
// caption): big enough for what they show, never beyond the work area, centred on the window
// they belong to.
class DialogPlacement final {
public:
    // The window a dialog belongs over: its parent's window, else the active window; may be null.
    static QWidget* Anchor(QWidget* parent);
    // The work area of the anchor's screen (the primary screen without an anchor).
    static QRect WorkArea(const QWidget* anchor);
    // `share` of the work area in each direction, at least the dialog's size hint.
    static void SizeToShare(QWidget* dialog, const QWidget* anchor, double share);
    // The dialog's centre on the anchor's, moved as little as needed to stay in the work area.
    static void CentreOn(QWidget* dialog, const QWidget* anchor);
    // Both, for dialogs that keep the size they are given.
    static void Place(QWidget* dialog, QWidget* parent, double share);
    // Room for the whole caption in the title bar, whose buttons and icon take room as well.
    static void FitCaption(QMessageBox& box);
    // A widget-drawn file dialog's detail columns made as wide as what they show, each time a
    // folder has been read; native dialogs size their own.
    static void FitFileColumns(QFileDialog& dialog);
    // The width a title bar needs to show `caption` whole.
    static int CaptionWidth(const QString& caption);
};

} // namespace tamblin
