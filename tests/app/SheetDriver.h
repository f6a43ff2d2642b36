#pragma once

#include "contents/ui/CPropertySheet.h"

#include <QLineEdit>
#include <QString>

#include <functional>

#include <gtest/gtest.h>

namespace tamblin::test {

// Fills in a property sheet as a user would once the command under test has opened it.
struct SheetDriver {
    using Drive = std::function<void(CPropertySheet&)>;

    // Runs `drive` on the sheet once it is shown; a sheet `drive` leaves open is cancelled,
    // so a test that fails half way does not hang on a modal window.
    static void WhenShown(Drive drive);

    template <typename T> static T* Find(CPropertySheet& sheet, const char* name) {
        T* found = sheet.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void Type(QLineEdit* edit, const char* text);
    static void Ok(CPropertySheet& sheet);
};

} // namespace tamblin::test
