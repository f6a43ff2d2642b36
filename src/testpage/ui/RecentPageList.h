#pragma once

#include <QSettings>
#include <QStringList>

namespace tamblin {

// The pages last shown in the Test dialog, most recent first, kept in the settings as
// "Recent Page List/TestPage1".."TestPage10".
class RecentPageList final {
public:
    static constexpr int kSize = 10;

    void Read(QSettings& settings);
    void Write(QSettings& settings) const;
    // Whether two page texts name one page: file names differ by case on Linux, so only
    // Windows ignores it.
    static bool SamePage(const QString& a, const QString& b);

    // Puts `page` first; an entry naming the same page moves rather than repeats, and the
    // oldest falls off beyond kSize.
    void Add(const QString& page);
    const QStringList& Pages() const { return m_pages; }

private:
    QStringList m_pages;
};

} // namespace tamblin
