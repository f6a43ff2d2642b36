#include "testpage/ui/RecentPageList.h"

namespace tamblin {

namespace {

QString Key(int number) {
    return QStringLiteral("Recent Page List/TestPage%1").arg(number);
}

} // namespace

void RecentPageList::Read(QSettings& settings) {
    m_pages.clear();
    for (int i = 1; i <= kSize; ++i) {
        QString page = settings.value(Key(i)).toString();
        if (!page.isEmpty()) {
            m_pages << page;
        }
    }
}

void RecentPageList::Write(QSettings& settings) const {
    for (int i = 1; i <= kSize; ++i) {
        if (i <= m_pages.size()) {
            settings.setValue(Key(i), m_pages[i - 1]);
        } else {
            settings.remove(Key(i));
        }
    }
    settings.sync();
}

bool RecentPageList::SamePage(const QString& a, const QString& b) {
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

void RecentPageList::Add(const QString& page) {
    for (qsizetype i = 0; i < m_pages.size(); ++i) {
        if (SamePage(m_pages[i], page)) {
            m_pages.removeAt(i);
            break;
        }
    }
    m_pages.prepend(page);
    while (m_pages.size() > kSize) {
        m_pages.removeLast();
    }
}

} // namespace tamblin
