#pragma once

#include <QLabel>

namespace tamblin {

// A one-line label for texts that come from the user's files (titles, URLs, paths). The text
// is always plain, so "<table>" or "&" show as typed, and a text wider than the label is
// drawn with its middle elided instead of widening the window; the full text stays in
// text() and is shown as the tool tip while it does not fit.
class ElidingLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ElidingLabel(QWidget* parent = nullptr);
    // How many average characters the label asks for at most, before eliding.
    static constexpr int kPreferredChars = 40;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Whether the text is wider than the label, so that part of it is not drawn.
    bool IsElided() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// A tool tip that shows text literally: tool tips guess at rich text, so a title such as
// "The <table> tag" would lose its tag. Text that cannot be taken for markup is kept as is.
QString PlainToolTip(const QString& text);

} // namespace tamblin
